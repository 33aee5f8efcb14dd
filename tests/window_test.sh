#!/usr/bin/env bash
# The desktop window as a person sees it, against the Windows build's own
# pixels: on a virtual X display, at 96 and 144 DPI, rgbhsv's window and
# rgbhsv.exe under Wine (classic colours, no theme, the caret not blinking,
# Wine's fonts in the prefix) are given the same keys, and after start-up
# and each key their client areas are compared pixel by pixel. Escape ends
# the window with status 0, and so does the window manager's close; text
# copied in one window pastes into another through the desktop's
# clipboard; --window without a desktop says why, status 1.
# usage: window_test.sh RGBHSV WINDOWS_BIN_DIR WM_CLOSE
set -u -o pipefail
rgbhsv=$(readlink -f "$1")
bin=$(readlink -f "$2")
wm_close=$(readlink -f "$3")
wine=/usr/lib/wine/wine64
skip() {
  echo "$1"
  [ "${CI:-}" = true ] && exit 1
  exit 77
}
for tool in Xvfb xdotool xprop import compare; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done
[ -x "$wine" ] || skip "wine64 is missing (make test installs it)"
[ -f "$bin/rgbhsv.exe" ] || skip "no Windows build in $bin (make windows builds it)"
"$rgbhsv" --help | grep -q -- --window || skip "this rgbhsv has no window (make test installs libsdl2-dev)"

work=$(mktemp -d)
export WINEPREFIX="$bin/wine-prefix-classic" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display_file="$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3> "$display_file" > /dev/null 2>&1 &
xvfb=$!
trap '/usr/lib/wine/wineserver -k 2>/dev/null; sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"

failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}

# A prefix of its own, as a Windows machine of the classic look has it.
. "$(dirname "$0")/wine_classic.sh"

# The keys of the session, each followed by a comparison: digits into red,
# Tab to green and a new value, Shift+Left to select, Backspace, Tab to
# the HSV row and a hue past 255.
steps=("" "1 2" "Tab" "7" "shift+Left" "BackSpace" "Tab Tab Tab" "9 9 9" "shift+Home")

find_window() {  # the one shown of a class, as a regular expression
  for _ in $(seq 300); do
    for id in $(xdotool search --classname "$1" 2> /dev/null); do
      xwininfo -id "$id" 2> /dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return; }
    done
    sleep 0.1
  done
}
# Our window takes keys from the keyboard it has the focus of; Wine's
# window takes them sent to it, as no window manager gives it the focus.
press() {  # window, keys
  xdotool windowraise "$1" windowfocus --sync "$1" 2> /dev/null || xdotool windowfocus "$1"
  [ -n "$2" ] && xdotool key --delay 30 $2
  sleep 0.4
}
send() {  # window, keys
  [ -n "$2" ] && xdotool key --window "$1" --delay 30 $2
  sleep 0.4
}

for dpi in 96 144; do
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi"
  reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
  "$rgbhsv" --window > "$work/ours.out" 2>&1 &
  ours_pid=$!
  ours=$(find_window '^rgbhsv$')
  "$wine" "$bin/rgbhsv.exe" > /dev/null 2>&1 &
  theirs=$(find_window '^rgbhsv.exe$')
  check "at $dpi dpi both windows open" test -n "$ours" -a -n "$theirs"
  [ -n "$ours" ] && [ -n "$theirs" ] || continue
  # Side by side, so that neither covers the other in a screenshot.
  xdotool windowmove "$ours" 0 0 windowmove "$theirs" 640 0
  sleep 0.5
  size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
  check "at $dpi dpi the window is the size of the Windows build's client area ($(size "$theirs"))" \
    [ "$(size "$ours")" = "$(size "$theirs")" ]
  worst=0
  for i in "${!steps[@]}"; do
    press "$ours" "${steps[$i]}"
    send "$theirs" "${steps[$i]}"
    import -window "$ours" "$work/ours-$dpi-$i.png"
    import -window "$theirs" "$work/theirs-$dpi-$i.png"
    differ=$(compare -metric AE "$work/ours-$dpi-$i.png" "$work/theirs-$dpi-$i.png" null: 2>&1 | cut -d' ' -f1)
    echo "  $dpi dpi, after '${steps[$i]:-start}': $differ pixels differ"
    [ "${differ%.*}" -gt "$worst" ] 2> /dev/null && worst=${differ%.*}
    [[ "$differ" =~ ^[0-9]+$ ]] || worst=999999
  done
  check "at $dpi dpi the window's pixels are the Windows build's to within $worst of at most 300" [ "$worst" -le 300 ]
  press "$ours" Escape
  wait "$ours_pid"
  check "at $dpi dpi Escape ends the window with status 0" [ $? = 0 ]
  /usr/lib/wine/wineserver -k 2> /dev/null
  sleep 0.5
  [ -n "${RGBHSV_KEEP_SCREENSHOTS:-}" ] && cp "$work"/*-"$dpi"-*.png "$RGBHSV_KEEP_SCREENSHOTS"/
done

# The window manager's close box, and the clipboard between two windows:
# 123 copied in one is pasted over the other's selected red, and both then
# show the same.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	96"
"$rgbhsv" --window > "$work/first.out" 2>&1 &
first_pid=$!
first=$(find_window '^rgbhsv$')
press "$first" "1 2 3 shift+Home ctrl+c"
"$rgbhsv" --window > "$work/second.out" 2>&1 &
second_pid=$!
for _ in $(seq 100); do
  second=$(xdotool search --classname '^rgbhsv$' 2> /dev/null | grep -vx "$first" | head -1)
  [ -n "$second" ] && xwininfo -id "$second" | grep -q IsViewable && break
  sleep 0.1
done
xdotool windowmove "$first" 0 0 windowmove "$second" 640 0
press "$second" "ctrl+v shift+Home"
press "$first" ""
import -window "$first" "$work/copied.png"
import -window "$second" "$work/pasted.png"
differ=$(compare -metric AE "$work/copied.png" "$work/pasted.png" null: 2>&1 | cut -d' ' -f1)
check "what one window copies, another pastes through the desktop's clipboard ($differ pixels differ)" [ "$differ" = 0 ]
for which in first second; do
  [ "$which" = first ] && pid=$first_pid window=$first || pid=$second_pid window=$second
  "$wm_close" "$window"
  wait "$pid"
  status=$?
  check "the window manager's close ends the $which window with status 0 (it ended with $status)" [ "$status" = 0 ]
  [ "$status" = 0 ] || sed 's/^/  it said: /' "$work/$which.out"
done

env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$rgbhsv" --window > "$work/none.out" 2>&1
status=$?
check "without a desktop --window ends with status 1" [ "$status" = 1 ]
check "and says why in one line" bash -c "[ \$(wc -l < '$work/none.out') = 1 ] && grep -q 'no desktop' '$work/none.out'"

echo "$failures failed"
[ "$failures" = 0 ]
