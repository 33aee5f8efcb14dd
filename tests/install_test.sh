#!/usr/bin/env bash
# What a user installs: cmake --install into a temporary DESTDIR, the
# installed programs run, the manual pages render without a warning, the
# desktop entry validates; and the .deb and zips that make package made:
# lintian finds no error or warning in any of the four packages, each zip
# holds both programs, README, LICENSE and the library.
# usage: install_test.sh BUILD_DIR PACKAGES_DIR VERSION
set -u
build=$(readlink -f "$1")
packages=$(readlink -f "$2")
version=$3
. "$(dirname "$0")/test_lib.sh"
for tool in groff desktop-file-validate lintian dpkg-deb; do
  command -v "$tool" >/dev/null || skip "$tool is missing (make test installs it)"
done
deb="$packages/rgbhsv_${version}_amd64.deb"
[ -f "$deb" ] || skip "no $deb (make package makes it)"

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr/local > /dev/null
root="$dest/usr/local"

for file in bin/rgbhsv bin/hsvconv share/man/man1/rgbhsv.1.gz share/man/man1/hsvconv.1.gz \
            share/applications/rgbhsv.desktop share/icons/hicolor/16x16/apps/rgbhsv.png \
            share/icons/hicolor/32x32/apps/rgbhsv.png share/doc/rgbhsv/README.md share/doc/rgbhsv/LICENSE; do
  check "installs $file under the prefix" [ -f "$root/$file" ]
done
check "the installed hsvconv converts" [ "$("$root/bin/hsvconv" rgb 255 200 0)" = "34 255 255" ]
check "and says its version" [ "$("$root/bin/hsvconv" --version)" = "hsvconv $version" ]
check "the installed rgbhsv answers --help without a terminal" \
  bash -c "'$root/bin/rgbhsv' --help < /dev/null | head -1 | grep -q '^Usage: rgbhsv'"
check "and says its version" [ "$("$root/bin/rgbhsv" --version < /dev/null)" = "rgbhsv $version" ]
"$root/bin/rgbhsv" --colour < /dev/null > /dev/null 2> "$dest/err"
status=$?
check "any other argument: status 2" [ "$status" = 2 ]
check "and one line of usage" [ "$(grep -c "usage: rgbhsv" "$dest/err")/$(wc -l < "$dest/err")" = 1/1 ]
for page in rgbhsv hsvconv; do
  warnings=$(zcat "$root/share/man/man1/$page.1.gz" | groff -ww -z -man -Tutf8 2>&1)
  check "$page(1) renders without warnings" [ -z "$warnings" ]
  [ -z "$warnings" ] || echo "$warnings" | sed 's/^/  /'
done
check "the desktop entry validates without a word" \
  bash -c "[ -z \"\$(desktop-file-validate '$root/share/applications/rgbhsv.desktop' 2>&1)\" ]"

for package in rgbhsv librgbhsv1 librgbhsv-dev python3-rgbhsv; do
  lintian --fail-on error,warning "$packages/${package}_${version}_amd64.deb" > "$dest/lintian" 2>&1
  check "lintian finds no error and no warning in $package's .deb" [ $? = 0 ]
  grep '^[EW]:' "$dest/lintian" | sed 's/^/  /'
done
check "the library's package holds the library by its soname, and runs ldconfig by trigger alone" \
  bash -c "dpkg-deb -c '$packages/librgbhsv1_${version}_amd64.deb' | grep -q 'librgbhsv.so.1 ->' &&
           [ \"\$(dpkg-deb --ctrl-tarfile '$packages/librgbhsv1_${version}_amd64.deb' | tar -t | sort | tr '\n' ' ')\" = \
             './ ./control ./md5sums ./shlibs ./triggers ' ]"
check "the development package needs the library's own version" \
  [ "$(dpkg-deb -f "$packages/librgbhsv-dev_${version}_amd64.deb" Depends)" = "librgbhsv1 (= $version)" ]
depends=$(dpkg-deb -f "$deb" Depends)
for package in libncursesw6 libsdl2-2.0-0 libfreetype6 fonts-wine; do
  check "the .deb depends on $package, which the terminal or the window needs" \
    bash -c "tr ',' '\n' <<< '$depends' | grep -q '^ *$package\b'"
done
check "the menu entry opens the window, with no terminal emulator" \
  grep -qx 'Terminal=false' "$root/share/applications/rgbhsv.desktop"
for arch in x86_64 i686; do
  zip="$packages/rgbhsv-$version-windows-$arch.zip"
  listing=$(cmake -E tar tf "$zip" 2>/dev/null | grep -v '/$' | sort | tr '\n' ' ')
  expected="rgbhsv-$version-windows-$arch/LICENSE rgbhsv-$version-windows-$arch/README.md"
  expected="$expected rgbhsv-$version-windows-$arch/hsvconv.exe"
  expected="$expected rgbhsv-$version-windows-$arch/include/rgbhsv.h rgbhsv-$version-windows-$arch/lib/librgbhsv.dll.a"
  expected="$expected rgbhsv-$version-windows-$arch/librgbhsv.dll rgbhsv-$version-windows-$arch/rgbhsv.exe "
  check "the $arch zip holds both programs, README, LICENSE and the library's DLL, import library and header" \
    [ "$listing" = "$expected" ]
done

echo "$failures failed"
[ "$failures" = 0 ]
