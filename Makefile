# Thin entry points over CMake presets. Every target first makes sure the Debian packages are there.
PRESET ?= default
BUILD  := build/$(PRESET)

.PHONY: deps configure build run test test-asan bench screenshot clean fuzz fuzz-smoke

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/app/tarnvel

# The suite, then a few seconds of each fuzz target.
test: build
	@ctest --preset $(PRESET)
	@$(MAKE) --no-print-directory fuzz-smoke

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: build
	@$(BUILD)/bench/calc_bench

# Each fuzz target runs FUZZ_SECONDS on its working corpus in build/fuzz/corpus (seeded from
# tests/fuzz/corpus, which is never written); a finding stops with non-zero status, its input in
# build/fuzz/artifacts.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_field_value fuzz_evaluation

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@mkdir -p build/fuzz/artifacts
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && cp tests/fuzz/corpus/$$t/* build/fuzz/corpus/$$t/ && \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s" && \
	  build/fuzz/tests/fuzz/$$t -max_len=4096 -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/$$t- build/fuzz/corpus/$$t || exit 1; \
	done

fuzz-smoke:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=5

# The dialog after a calculation, rendered off screen at normal and double scale, for the README.
screenshot: build
	@mkdir -p docs
	@QT_SCALE_FACTOR=1 $(BUILD)/tests/app/tarnvel_screenshot docs/screenshot.png
	@QT_SCALE_FACTOR=2 $(BUILD)/tests/app/tarnvel_screenshot docs/screenshot@2x.png

clean:
	rm -rf build
