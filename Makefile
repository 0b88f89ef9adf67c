# Thin entry points over CMake presets. Every target first makes sure the Debian packages are there.
PRESET ?= default
BUILD  := build/$(PRESET)

.PHONY: deps configure build run test test-asan bench screenshot clean

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/app/tarnvel

test: build
	@ctest --preset $(PRESET)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: build
	@$(BUILD)/bench/calc_bench

clean:
	rm -rf build
