# rgbhsv's front door. Each target installs what it needs from Debian's
# packages first (as root), or says which command would.
#
#   make run     the converter, reading requests from the terminal
#   make test    the whole suite: unit tests, sanitizers, cross-processor tables
#   make build   host programs into build/bin/
#   make bench   speed of the engine and of hsvconv's tables

SHELL := /bin/bash
BUILD_PACKAGES := cmake ninja-build g++ libgtest-dev libbenchmark-dev
TEST_PACKAGES := $(BUILD_PACKAGES) g++-i686-linux-gnu g++-aarch64-linux-gnu \
                 g++-arm-linux-gnueabihf qemu-user
CROSS_BUILDS := x86-64-haswell i686 aarch64 armhf

.PHONY: build run test bench cross clean

build:
	@tools/ensure-packages $(BUILD_PACKAGES)
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
	@./build/bin/hsvconv

cross:
	@tools/ensure-packages $(TEST_PACKAGES)
	@for preset in $(CROSS_BUILDS); do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset || exit 1; \
	done

test: build cross
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset default -j2
	ctest --preset asan -j2

bench: build
	@./build/host/bench/engine_bench
	@bench/table_throughput.sh ./build/bin/hsvconv

clean:
	rm -rf build
