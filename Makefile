# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
# Thin entry points over CMake presets. Every target first makes sure the Debian packages are there.
PRESET ?= default
BUILD  := build/$(PRESET)
JOBS   ?= $(shell nproc)
# WERROR=ON makes every compiler warning an error (the CI build).
WERROR ?=

.PHONY: deps configure build run test test-asan soak bench screenshot clean fuzz install uninstall package lint

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) $(if $(WERROR),-DTARNVEL_WERROR=$(WERROR)) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

run: build
	@$(BUILD)/app/tarnvel

# Every test, deterministic: the fuzz targets replay their seed corpora (`make fuzz` explores).
test: build
	@ctest --preset $(PRESET) -j $(JOBS)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# Long random use of the real dialog under ASan and UBSan.
SOAK_ACTIONS ?= 20000
soak:
	@$(MAKE) --no-print-directory build PRESET=asan
	@TARNVEL_MONKEY_ACTIONS=$(SOAK_ACTIONS) ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  build/asan/tests/ui/ui_tests --gtest_filter='Monkey.*'

bench: build
	@$(BUILD)/bench/calc_bench
	@$(BUILD)/bench/ui_bench
	@$(BUILD)/bench/board_bench
	@$(BUILD)/bench/plate_bench
	@$(BUILD)/bench/report_bench

# Start-up time and peak RSS of tarnvel against a bare Qt dialog, STARTUP_RUNS runs each under Xvfb.
STARTUP_RUNS ?= 15
.PHONY: bench-startup
bench-startup: build
	@$(BUILD)/bench/startup_bench --runs $(STARTUP_RUNS) $(BUILD)/app/tarnvel $(BUILD)/bench/bare_dialog

# Each fuzz target runs FUZZ_SECONDS on its working corpus in build/fuzz/corpus (seeded from
# tests/fuzz/corpus, which is never written); a finding stops with non-zero status, its input in
# build/fuzz/artifacts.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_field_value fuzz_evaluation fuzz_resources fuzz_parts fuzz_psd fuzz_options fuzz_encoding \
	fuzz_sexpr fuzz_placement fuzz_page

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@mkdir -p build/fuzz/artifacts
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$t && cp tests/fuzz/corpus/$$t/* build/fuzz/corpus/$$t/ && \
	  echo "fuzz: $$t for $(FUZZ_SECONDS) s (log: build/fuzz/$$t.log)" && \
	  if ! build/fuzz/tests/fuzz/$$t -max_len=4096 -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=build/fuzz/artifacts/$$t- build/fuzz/corpus/$$t \
	    > build/fuzz/$$t.log 2>&1; then tail -n 40 build/fuzz/$$t.log; exit 1; fi; \
	  grep -E '^stat::number_of_executed_units' build/fuzz/$$t.log; \
	done

# The dialog after a calculation, rendered off screen at normal and double scale and in a dark colour
# scheme, for the README.
screenshot: build
	@mkdir -p docs
	@QT_SCALE_FACTOR=1 $(BUILD)/tests/app/tarnvel_screenshot docs/screenshot.png
	@QT_SCALE_FACTOR=1 $(BUILD)/tests/app/tarnvel_screenshot docs/screenshot-dark.png --dark
	@QT_SCALE_FACTOR=2 $(BUILD)/tests/app/tarnvel_screenshot docs/screenshot@2x.png

# The README's board as a page in headless Chromium (desktop, A4 and dark), for the README.
.PHONY: screenshot-report
screenshot-report: build
	@TARNVEL_REPORT_PICTURES=$(CURDIR)/docs tests/tarnvel-board/report_page_test.py \
	  $(BUILD)/tarnvel-board/tarnvel-board $(CURDIR) Browser

# Installs into $(PREFIX), through sudo when $(PREFIX) (or its nearest existing parent) is not writable;
# $(BUILD)/install_manifest.txt records every file, and uninstall removes exactly those.
PREFIX ?= /usr/local
MANIFEST := $(BUILD)/install_manifest.txt

install: build
	@p="$(PREFIX)"; while [ ! -e "$$p" ]; do p=$$(dirname "$$p"); done; \
	  sudo=""; [ -w "$$p" ] || sudo=sudo; \
	  rm -f $(MANIFEST) && $$sudo cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	@[ -f $(MANIFEST) ] || { echo "uninstall: no $(MANIFEST); nothing was installed from $(BUILD)" >&2; exit 1; }
	@while IFS= read -r f || [ -n "$$f" ]; do \
	  [ -e "$$f" ] || [ -L "$$f" ] || continue; \
	  sudo=""; [ -w "$$(dirname "$$f")" ] || sudo=sudo; \
	  echo "-- Removing: $$f"; $$sudo rm -f -- "$$f" || exit 1; \
	done < $(MANIFEST)

# The Debian package, $(BUILD)/tarnvel_<version>_<arch>.deb (CPack; dependencies from dpkg-shlibdeps).
package: build
	@cmake --build $(BUILD) --target package

# Formatting, licence information of every file, and the desktop metadata.
lint: deps
	@git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
	@reuse lint
	@desktop-file-validate resources/*.desktop
	@appstreamcli validate --no-net --pedantic resources/*.metainfo.xml

clean:
	rm -rf build

# The Windows program, build/windows/app/tarnvel.exe (MinGW-w64), and its tests under Wine on a private
# Xvfb, in a Wine prefix of the build tree's own.
.PHONY: deps-windows windows test-windows windows-package windows-msi windows-sign screenshot-windows \
	bench-startup-windows
deps-windows:
	@scripts/install-deps --windows

windows: deps-windows
	@cmake --preset windows $(if $(WERROR),-DTARNVEL_WERROR=$(WERROR)) >/dev/null
	@cmake --build --preset windows

test-windows: windows
	@ctest --preset windows -j $(JOBS)

# build/windows/tarnvel-<version>-win64.zip: tarnvel.exe, tarnvel-board.exe, the licence and a README for
# Windows users.
windows-package: windows
	@cmake --build --preset windows --target windows_package

# build/windows/tarnvel-<version>-x64.msi: the per-user installer (wixl; cmake/windows/tarnvel.wxs).
windows-msi: windows
	@cmake --build --preset windows --target windows_msi

# A signed release: SIGN_CERT and SIGN_KEY (and SIGN_TIMESTAMP_URL, optional) as scripts/sign-windows
# takes them. The programs are staged afresh and signed, the zip and the MSI are made from them, then the
# MSI is signed; the build's own tarnvel.exe and tarnvel-board.exe stay unsigned.
SIGN_ENV = SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" SIGN_TIMESTAMP_URL="$(SIGN_TIMESTAMP_URL)"
windows-sign:
	@$(if $(and $(SIGN_CERT),$(SIGN_KEY)),,$(error windows-sign: needs SIGN_CERT=<certificate chain, PEM> and \
	  SIGN_KEY=<its private key, PEM> (optionally SIGN_TIMESTAMP_URL=<RFC 3161 server>)))
	@$(SIGN_ENV) scripts/sign-windows --check
	@$(MAKE) --no-print-directory windows
	@rm -f build/windows/package/programs/tarnvel.exe build/windows/package/programs/tarnvel-board.exe
	@cmake --build --preset windows --target windows_programs
	@$(SIGN_ENV) scripts/sign-windows build/windows/package/programs/tarnvel.exe \
	  build/windows/package/programs/tarnvel-board.exe
	@cmake --build --preset windows --target windows_package windows_msi
	@version=$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt) && \
	  $(SIGN_ENV) scripts/sign-windows build/windows/tarnvel-$$version-x64.msi

# The Windows program under Wine after the Overview's request, for the README.
screenshot-windows: windows
	@SCREENSHOT=$(CURDIR)/docs/screenshot-windows.png tests/app/win32/tarnvel_exe_test.sh scripts/wine-run \
	  build/windows/wineprefix build/windows/app/tarnvel.exe build/windows/tests/app/win32/read_control.exe
	@scripts/wine-run --prefix build/windows/wineprefix --stop

# Start-up to mapped window of tarnvel.exe under Wine against a bare Win32 dialog with the same template,
# alternating, STARTUP_RUNS runs each.
bench-startup-windows: windows
	@bench/win32/startup.sh scripts/wine-run build/windows/wineprefix $(STARTUP_RUNS) \
	  build/windows/app/tarnvel.exe build/windows/bench/bare_dialog.exe
	@scripts/wine-run --prefix build/windows/wineprefix --stop
