# rgbhsv's front door. Each target installs what it needs from Debian's
# packages first (as root), or says which command would.
#
#   make run     the converter dialog: a window on a desktop, else this terminal
#   make test    the whole suite: unit tests, sanitizers, cross-processor tables
#   make build   host programs into build/bin/
#   make bench   speed of the engine, the library beside OpenCV, the dialog,
#                hsvconv's tables and streams, the terminal, the window and the page
#   make windows the native Windows programs, in build/windows/{x86_64,i686}/
#   make fuzz    the resource reader under libFuzzer (FUZZ_SECONDS, default 300)
#   make package build/packages/: the .debs (the programs, librgbhsv1,
#                librgbhsv-dev, python3-rgbhsv), and a zip for each Windows build
#   make web     build/web/index.html: the converter as one web page

SHELL := /bin/bash
BUILD_PACKAGES := cmake ninja-build g++ libgtest-dev libbenchmark-dev binutils-mingw-w64-x86-64 zlib1g-dev \
                  libncurses-dev libfreetype-dev fonts-wine libsdl2-dev libx11-dev \
                  pkgconf libwayland-dev wayland-protocols libxkbcommon-dev libdbus-1-dev python3-dev
CROSS_PACKAGES := g++-i686-linux-gnu g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user
TERMINAL_PACKAGES := tmux
WINDOWS_PACKAGES := cmake ninja-build g++-mingw-w64-x86-64 g++-mingw-w64-i686
WINE_PACKAGES := wine64 xvfb fonts-wine
WINDOW_PACKAGES := xvfb xdotool x11-utils imagemagick xclip weston sway grim wtype wl-clipboard jq dbus at-spi2-core python3-pyatspi \
                   mutter
FUZZ_PACKAGES := clang libclang-rt-14-dev binutils-mingw-w64-x86-64 cmake ninja-build
PACKAGE_PACKAGES := dpkg-dev file lintian desktop-file-utils groff-base
WEB_PACKAGES := emscripten cmake ninja-build binutils-mingw-w64-x86-64
BROWSER_PACKAGES := chromium
LIBRARY_PACKAGES := python3-numpy
# OpenCV, which the library's benchmark times beside it.
BENCH_PACKAGES := libopencv-dev
# Debian's emcc finds its node modules here when the node on PATH is another one.
EMCC_NODE_PATH := NODE_PATH=/usr/share/nodejs
FUZZ_SECONDS ?= 300
CROSS_BUILDS := x86-64-haswell i686 aarch64 armhf

.PHONY: build run test bench cross windows package web node fuzz clean

build:
	@tools/ensure-packages $(BUILD_PACKAGES)
	@cmake --preset default >/dev/null
	@cmake --build --preset default

# Only the program and what it needs: the tests and benchmarks wait for
# make build or make test.
run:
	@tools/ensure-packages $(BUILD_PACKAGES)
	@cmake --preset default >/dev/null
	@cmake --build --preset default --target rgbhsv
	@./build/bin/rgbhsv

cross:
	@tools/ensure-packages $(CROSS_PACKAGES)
	@for preset in $(CROSS_BUILDS); do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset || exit 1; \
	done

windows:
	@tools/ensure-packages $(WINDOWS_PACKAGES)
	@for preset in windows-x86_64 windows-i686; do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset || exit 1; \
	done

package: build windows
	@tools/ensure-packages $(PACKAGE_PACKAGES)
	@rm -rf build/packages
	@for config in build/host build/windows/x86_64/cmake build/windows/i686/cmake; do \
	  cpack --config $$config/CPackConfig.cmake | grep 'generated' || exit 1; \
	done

# node and npm as they are, or Debian's where there are none (a node from
# elsewhere may conflict with Debian's npm).
node:
	@command -v node >/dev/null && command -v npm >/dev/null || tools/ensure-packages nodejs npm

web: node
	@tools/ensure-packages $(WEB_PACKAGES) $(BUILD_PACKAGES)
	@cmake --preset default >/dev/null
	@cmake --build --preset default --target draw_icon bake_font pack_page
	@$(EMCC_NODE_PATH) cmake --preset web >/dev/null
	@$(EMCC_NODE_PATH) cmake --build --preset web
	@echo "build/web/index.html: $$(stat -c %s build/web/index.html) bytes; the app's parts: $$(cat build/web/index.html build/web/sw.js build/web/manifest.webmanifest build/web/*.png | wc -c) bytes"

test: build cross windows package web
	@tools/ensure-packages $(TERMINAL_PACKAGES) $(WINE_PACKAGES) $(WINDOW_PACKAGES) $(BROWSER_PACKAGES) $(LIBRARY_PACKAGES)
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset default -j2
	ctest --preset asan -j2
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30

fuzz:
	@tools/ensure-packages $(FUZZ_PACKAGES)
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@mkdir -p build/fuzz/corpus build/fuzz/seeds
	@cp build/fuzz/resources/converter.res build/fuzz/seeds/
	@echo "Fuzzing the resource reader for $(FUZZ_SECONDS) s"
	@build/fuzz/tests/fuzz/resource_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  build/fuzz/corpus build/fuzz/seeds > build/fuzz/last-run.log 2>&1 || \
	  { cat build/fuzz/last-run.log; echo "the fuzzer found a fault; the input is in the current folder"; exit 1; }
	@grep -E '^(Done|stat::(number_of_executed_units|peak_rss_mb))' build/fuzz/last-run.log

bench: build windows web
	@tools/ensure-packages $(TERMINAL_PACKAGES) $(WINE_PACKAGES) $(WINDOW_PACKAGES) $(BROWSER_PACKAGES) $(BENCH_PACKAGES) dialog
	@cmake --preset default >/dev/null && cmake --build --preset default --target library_bench
	@./build/host/bench/engine_bench
	@./build/host/bench/library_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
	  --benchmark_report_aggregates_only=true
	@for kernel in avx2 sse2 portable; do \
	  RGBHSV_KERNEL=$$kernel ./build/host/bench/library_bench --benchmark_filter='one_thread' \
	    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true | grep -E 'kernel|median'; \
	done
	@./build/host/bench/dialog_bench
	@bench/table_throughput.sh ./build/bin/hsvconv
	@bench/stream_throughput.sh ./build/bin/hsvconv ./build/host/bench/stream_input
	@bench/terminal_bench.sh ./build/bin/rgbhsv
	@bench/window_bench.sh ./build/bin/rgbhsv ./build/windows/x86_64
	@bench/page_bench.sh ./build/web

clean:
	rm -rf build
