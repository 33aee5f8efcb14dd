#!/usr/bin/env bash
# The page's canvas as a person sees it, against the Windows build's own
# pixels: rgbhsv.exe under Wine on a virtual X display (classic colours, no
# theme, the caret not blinking, Wine's fonts in the prefix) at 96 and 192
# dpi, and the page in headless Chromium at 1 and 2 device pixels to the
# CSS pixel, are given the same keys; after start-up and each key the
# Windows build's client area is held to the same pixels of the screenshot,
# inside the page's frame and caption: not one may differ, smoothed text at
# 192 dpi included.
# usage: page_pixels_test.sh PAGE WINDOWS_BIN_DIR TOOLS
set -u -o pipefail
page=$(readlink -f "$1")
bin=$(readlink -f "$2")
tools=$(readlink -m "$3")
here=$(dirname "$(readlink -f "$0")")
wine=/usr/lib/wine/wine64
. "$here/../test_lib.sh"
for tool in Xvfb xdotool import compare convert; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done
[ -x "$wine" ] || skip "wine64 is missing (make test installs it)"
[ -f "$bin/rgbhsv.exe" ] || skip "no Windows build in $bin (make windows builds it)"
[ -f "$page" ] || skip "no page at $page (make web builds it)"
command -v node >/dev/null && command -v npm >/dev/null || skip "node or npm is missing (make test installs them)"
[ -x /usr/bin/chromium ] || skip "chromium is missing (make test installs it)"
. "$here/puppeteer.sh"

work=$(mktemp -d)
export WINEPREFIX="$bin/wine-prefix-classic" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start_xvfb "$work" 1280x800x24
trap '/usr/lib/wine/wineserver -k 2>/dev/null; sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
. "$here/../wine_classic.sh"


# The window test's session: digits into red, Tab to green and a new
# value, Shift+Left to select, Backspace, Tab to the HSV row and a hue past
# 255, Shift+Home.
steps=("" "1 2" "Tab" "7" "shift+Left" "BackSpace" "Tab Tab Tab" "9 9 9" "shift+Home")
json=$(printf '"%s",' "${steps[@]}")
json="[${json%,}]"

for pair in "96 1" "192 2"; do
  read -r dpi ratio <<< "$pair"
  reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
  "$wine" "$bin/rgbhsv.exe" > /dev/null 2>&1 &
  theirs=
  for _ in $(seq 300); do
    for id in $(xdotool search --classname '^rgbhsv.exe$' 2> /dev/null); do
      xwininfo -id "$id" 2> /dev/null | grep -q 'Map State: IsViewable' && theirs=$id
    done
    [ -n "$theirs" ] && break
    sleep 0.1
  done
  check "at $dpi dpi the Windows build's window opens" test -n "$theirs"
  [ -n "$theirs" ] || continue
  for i in "${!steps[@]}"; do
    [ -n "${steps[$i]}" ] && xdotool key --window "$theirs" --delay 30 ${steps[$i]}
    # Each step changes what it shows: taken once it has.
    settled "$theirs" "$work/theirs-$dpi-$i.png" $([ "$i" = 0 ] || echo "$work/theirs-$dpi-$((i - 1)).png") ||
      echo "  the Windows build did not settle after '${steps[$i]}'"
  done
  /usr/lib/wine/wineserver -k 2> /dev/null
  /usr/lib/wine/wineserver -w 2> /dev/null
  read -r width height < <(identify -format '%w %h' "$work/theirs-$dpi-0.png")
  NODE_PATH="$tools/node_modules" node "$here/page_pixels.js" "$page" "$ratio" "$json" "$work/page-$dpi" \
    > "$work/boxes-$dpi" 2> "$work/node.log"
  check "at ratio $ratio the page runs the session" [ "$(wc -l < "$work/boxes-$dpi")" = "${#steps[@]}" ]
  worst=0 sized=yes
  while read -r i x y w h; do
    # The client area: inside the frame, the same width each side and at
    # the bottom, and below the caption.
    frame=$(( (w - width) / 2 ))
    [ $(( w - width )) = $(( 2 * frame )) ] && [ "$frame" -gt 0 ] && [ $(( h - height - 2 * frame )) -gt 0 ] || sized=no
    convert "$work/page-$dpi-$i.png" -crop "${width}x${height}+$((x + frame))+$((y + h - frame - height))" +repage \
      "$work/ours-$dpi-$i.png"
    differ=$(compare -metric AE "$work/ours-$dpi-$i.png" "$work/theirs-$dpi-$i.png" null: 2>&1 | cut -d' ' -f1)
    [[ "$differ" =~ ^[0-9]+$ ]] || differ=$((width * height))
    echo "  ratio $ratio against $dpi dpi, after '${steps[$i]:-start}': $differ of $((width * height)) pixels differ"
    [ "$differ" -gt "$worst" ] && worst=$differ
  done < "$work/boxes-$dpi"
  check "at ratio $ratio the page's dialog is the Windows build's client area (${width}x${height}) in a frame" \
    [ "$sized" = yes ]
  check "at ratio $ratio the page's pixels are the Windows build's at $dpi dpi after every key (at worst $worst differ)" \
    [ "$worst" = 0 ]
  [ -n "${RGBHSV_KEEP_SCREENSHOTS:-}" ] && cp "$work"/{ours,theirs}-"$dpi"-*.png "$RGBHSV_KEEP_SCREENSHOTS"/
done

echo "$failures failed"
[ "$failures" = 0 ]
