#!/usr/bin/env bash
# The native Windows build under Wine: hsvconv.exe writes the recorded
# tables, and the dialog, driven by the probe on a virtual X display, agrees
# line for line with the same scenarios on our own platform layer.
# usage: wine_test.sh WINDOWS_BIN_DIR SCENARIO_HOST DIGESTS
set -u -o pipefail
bin=$(readlink -f "$1")
host=$(readlink -f "$2")
digests=$(readlink -f "$3")
wine=/usr/lib/wine/wine64
. "$(dirname "$0")/test_lib.sh"
[ -x "$wine" ] && command -v Xvfb >/dev/null || skip "wine64 or Xvfb is missing (make test installs them)"
[ -f "$bin/rgbhsv.exe" ] && [ -f "$bin/probe.exe" ] || skip "no Windows build in $bin (make windows builds it)"

export WINEPREFIX="$bin/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
start_xvfb "$work" 1024x768x24
trap '/usr/lib/wine/wineserver -k 2>/dev/null; sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i > /dev/null 2>&1
# Windows has its fonts in C:\windows\Fonts, Tahoma among them; Wine does not
# look in Debian's folder of its own fonts by itself.
fonts=/usr/share/wine/fonts
[ -f "$fonts/tahoma.ttf" ] || skip "Wine's fonts are missing (make test installs fonts-wine)"
for font in "$fonts"/*.ttf; do
  cmp -s "$font" "$WINEPREFIX/drive_c/windows/Fonts/$(basename "$font")" ||
    cp "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
# The screen's DPI as Wine reads it when a program starts.
set_dpi() { "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f > /dev/null 2>&1; }
set_dpi 96

for direction in rgb hsv; do
  expected=$(awk -v d="$direction" '$2 == d { print $1 }' "$digests")
  actual=$("$wine" "$bin/hsvconv.exe" table "$direction" | sha256sum | cut -d' ' -f1)
  check "hsvconv.exe table $direction is the recorded table" [ "$actual" = "$expected" ]
done

# A reader that goes away: no SIGPIPE on Windows, so a quiet status 1.
"$wine" "$bin/hsvconv.exe" table hsv 2> "$work/pipe-err" | head -1 > /dev/null
pipe_status=${PIPESTATUS[0]}
check "hsvconv.exe ends with status 1 when its reader goes away" [ "$pipe_status" = 1 ]
check "and says nothing about it" [ ! -s "$work/pipe-err" ]

"$host" > "$work/host"
windows_path="Z:${bin//\//\\}\\rgbhsv.exe"
"$wine" "$bin/probe.exe" "$windows_path" > "$work/wine"
same() { diff "$work/host" "$work/wine"; }
check "the dialog under Wine agrees with the platform layer, line for line" same
sed 's/^/  /' "$work/wine"

# Each field as a screen reader names it (MSAA, Wine's oleacc): by its
# column and row, as the page names it.
"$wine" "$bin/probe.exe" "$windows_path" --names | tr -d '\r' > "$work/names"
sed 's/^/  /' "$work/names"
check "under Wine, screen readers hear each field's name" diff - "$work/names" << 'EOF'
1003 Red, RGB color
1004 Green, RGB color
1005 Blue, RGB color
1006 Hue, HSV color
1007 Saturation, HSV color
1008 Value, HSV color
EOF

# Every key an edit field answers, in a seeded random session: Windows'
# fields, focus and selection after each key are what the recorded traces
# say, which the platform layer's screens are held to.
traces=$(dirname "$digests")
for leg in full terminal; do
  expected="$traces/key_session.trace"
  [ "$leg" = terminal ] && expected="$traces/key_session_terminal.trace"
  script=$("$host" --random 2026 300 $([ "$leg" = terminal ] && echo terminal))
  "$wine" "$bin/probe.exe" "$windows_path" --trace "$script" > "$work/trace-$leg"
  check "under Wine, the $leg key session leaves what $(basename "$expected") records after every key" \
    diff "$expected" "$work/trace-$leg"
done

# Every text whole at every scale: measured from inside the program, in the
# fonts its controls use, against each control's own rectangle; and the
# dialog grows with the DPI.
win() { local path=$1; echo "Z:${path//\//\\}"; }
previous_width=0
for dpi in 96 120 144 192; do
  set_dpi "$dpi"
  "$wine" "$bin/probe.exe" "$(win "$bin/rgbhsv.exe")" --measure "$(win "$bin/measure.dll")" \
    "$(win "$work/measure-$dpi")" > "$work/texts-$dpi"
  sed "s/^/  $dpi dpi: /" "$work/texts-$dpi"
  check "at $dpi dpi every label and button text is whole" \
    bash -c "grep -q '^whole \"HSV color:\"' '$work/texts-$dpi' && ! grep -qv '^whole\|^dialog' '$work/texts-$dpi'"
  width=$(sed -n "s/^dialog \([0-9]*\)x[0-9]* at $dpi dpi$/\1/p" "$work/texts-$dpi")
  check "at $dpi dpi the dialog is wider than at the DPI before" [ "${width:-0}" -gt "$previous_width" ]
  previous_width=${width:-0}
done
set_dpi 96

# librgbhsv.dll as a Windows user links it: the library user's program
# built against the import library and header, run beside the DLL.
mkdir "$work/dll"
x86_64-w64-mingw32-gcc -O2 "$(dirname "$0")/library_consumer/main.c" -I "$(dirname "$0")/../lib" \
  "$bin/cmake/lib/librgbhsv.dll.a" -o "$work/dll/consumer.exe" > "$work/dll/cc.log" 2>&1
cp "$bin/cmake/lib/librgbhsv.dll" "$work/dll/"
check "a program linked to librgbhsv.dll gives hsvconv.exe's numbers" diff \
  <(for rgb in "255 200 0" "12 34 56"; do
      hsv=$("$wine" "$bin/hsvconv.exe" rgb $rgb | tr -d '\r')
      echo "$rgb -> $hsv -> $("$wine" "$bin/hsvconv.exe" hsv $hsv | tr -d '\r'); from BGR $hsv"
    done) \
  <(cd "$work/dll" && "$wine" consumer.exe | tr -d '\r')

echo "$failures failed"
[ "$failures" = 0 ]
