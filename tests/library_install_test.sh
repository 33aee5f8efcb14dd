#!/usr/bin/env bash
# librgbhsv as its users get it: `cmake --install` of the build into a
# prefix of its own, then a C program built against it through pkg-config
# and the same program through a CMake project's find_package(rgbhsv
# CONFIG), each run, and the Python module imported from there; all give
# the numbers hsvconv gives.
# usage: library_install_test.sh BUILD_DIR HSVCONV
set -u -o pipefail
. "$(dirname "$0")/test_lib.sh"
build=$(readlink -f "$1")
hsvconv=$(readlink -f "$2")
consumer=$(dirname "$(readlink -f "$0")")/library_consumer
for tool in cc pkg-config cmake; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1
libdir=$(dirname "$(find "$prefix" -name librgbhsv.so.1 | head -1)")
check "cmake --install puts the header, the library, rgbhsv.pc and the CMake package under the prefix" \
  bash -c "ls '$prefix'/include/rgbhsv.h '$libdir'/librgbhsv.so.1 '$libdir'/pkgconfig/rgbhsv.pc \
           '$libdir'/cmake/rgbhsv/rgbhsvConfig.cmake > /dev/null"

expected() {
  for rgb in "255 200 0" "12 34 56"; do
    hsv=$("$hsvconv" rgb $rgb)
    echo "$rgb -> $hsv -> $("$hsvconv" hsv $hsv); from BGR $hsv"
  done
}
expected > "$work/expected"

PKG_CONFIG_PATH=$libdir/pkgconfig cc "$consumer/main.c" $(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs rgbhsv) \
  -o "$work/with-pkg-config" > "$work/cc.log" 2>&1
LD_LIBRARY_PATH=$libdir "$work/with-pkg-config" > "$work/pkg-config.out" 2>&1
check "a C program built with pkg-config's flags runs and gives the engine's numbers" \
  diff "$work/expected" "$work/pkg-config.out"

cmake -S "$consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" > "$work/cmake.log" 2>&1 &&
  cmake --build "$work/cmake-build" >> "$work/cmake.log" 2>&1
LD_LIBRARY_PATH=$libdir "$work/cmake-build/consumer" > "$work/cmake.out" 2>&1
check "a CMake project's find_package(rgbhsv CONFIG) builds it, and it gives the same" \
  diff "$work/expected" "$work/cmake.out"
if [ -d "$prefix/lib/python3/dist-packages" ]; then
  out=$(PYTHONPATH=$prefix/lib/python3/dist-packages /usr/bin/python3 -c \
    'import rgbhsv; print(*rgbhsv.rgb_to_hsv(bytes([255, 200, 0])))' 2>&1)
  check "the Python module imports from the prefix and gives the same ($out)" [ "$out" = "$("$hsvconv" rgb 255 200 0)" ]
fi
for log in cc cmake; do [ -s "$work/$log.log" ] && [ "$failures" != 0 ] && sed "s/^/  $log: /" "$work/$log.log"; done
[ "$failures" = 0 ]
