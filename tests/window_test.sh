#!/usr/bin/env bash
# The desktop window as a person sees it, against the Windows build's own
# pixels: on a virtual X display, at 96, 144 and 192 DPI, rgbhsv's window and
# rgbhsv.exe under Wine (classic colours, no theme, the caret not blinking,
# Wine's fonts in the prefix) are given the same keys, the keypad's among
# them, and after start-up and each key their client areas are compared
# pixel by pixel. The window opens centred; Escape, Alt+F4 and the window
# manager's close end it with status 0; text copied in one window pastes
# into another through the desktop's clipboard, and a second window does
# not cover the first; --window without a desktop, with one that does not
# answer, or on a Wayland compositor that offers no seat, says why, status
# 1, at once.
# usage: window_test.sh RGBHSV WINDOWS_BIN_DIR WM_CLOSE DESKTOP_PARTS
set -u -o pipefail
rgbhsv=$(readlink -f "$1")
bin=$(readlink -f "$2")
wm_close=$(readlink -f "$3")
parts=$(readlink -f "$4")
. "$(dirname "$0")/desktop_session.sh"
command -v weston > /dev/null || skip "weston is missing (make test installs it)"

# The keys of the session, each followed by a comparison: digits into red,
# Tab to green and a new value, Shift+Left to select, Backspace, Tab to
# the HSV row and a hue past 255; then the keypad's End, Shift+Left and
# Delete with NumLock off, and its 1 with NumLock on. (NumLock is set
# outright: xdotool's own Num_Lock presses leave it as they please.)
steps=("" "1 2" "Tab" "7" "shift+Left" "BackSpace" "Tab Tab Tab" "9 9 9" "shift+Home"
       "KP_End shift+KP_Left" "KP_Delete" "numlock-on KP_1 numlock-off")
play() {  # press or send, window, keys
  local keys=()
  for key in $3 ""; do
    if [ -z "$key" ] || [ "${key#numlock-}" != "$key" ]; then
      [ ${#keys[@]} -gt 0 ] && "$1" "$2" "${keys[*]}"
      keys=()
      [ -n "$key" ] && "$parts" numlock "${key#numlock-}"
    else
      keys+=("$key")
    fi
  done
  [ -n "$3" ] || "$1" "$2" ""
}

for dpi in 96 144 192; do
  open_both "$dpi"
  check "at $dpi dpi both windows open" test -n "$ours" -a -n "$theirs"
  [ -n "$ours" ] && [ -n "$theirs" ] || continue
  placed=$(xwininfo -id "$ours" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                                       /Width:/ { w = $2 } /Height:/ { h = $2 }
                                       END { print x - int((1280 - w) / 2) " " y - int((800 - h) / 2) }')
  check "at $dpi dpi the window opens whole and centred (off by $placed)" [ "$placed" = "0 0" ]
  # One above the other, so that neither covers the other in a screenshot.
  xdotool windowmove --sync "$ours" 0 0 windowmove --sync "$theirs" 0 400
  size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
  check "at $dpi dpi the window is the size of the Windows build's client area ($(size "$theirs"))" \
    [ "$(size "$ours")" = "$(size "$theirs")" ]
  worst=0
  for i in "${!steps[@]}"; do
    play press "$ours" "${steps[$i]}"
    play send "$theirs" "${steps[$i]}"
    # Each step changes what both show: each is taken once it has.
    for side in ours theirs; do
      settled "${!side}" "$work/$side-$dpi-$i.png" $([ "$i" = 0 ] || echo "$work/$side-$dpi-$((i - 1)).png") ||
        echo "  $side did not settle after '${steps[$i]}'"
    done
    differ=$(compare -metric AE "$work/ours-$dpi-$i.png" "$work/theirs-$dpi-$i.png" null: 2>&1 | cut -d' ' -f1)
    echo "  $dpi dpi, after '${steps[$i]:-start}': $differ pixels differ"
    [ "${differ%.*}" -gt "$worst" ] 2> /dev/null && worst=${differ%.*}
    [[ "$differ" =~ ^[0-9]+$ ]] || worst=999999
  done
  check "at $dpi dpi the window's pixels are the Windows build's to within $worst of at most 300" [ "$worst" -le 300 ]
  # Escape, and Alt+F4 as the Windows build's default window procedure
  # takes it (no window manager here to take it first).
  [ "$dpi" = 96 ] && close=Escape || close=alt+F4
  press "$ours" "$close"
  ended "$ours_pid" 10
  check "at $dpi dpi $close ends the window with status 0" [ $? = 0 ]
  /usr/lib/wine/wineserver -k 2> /dev/null
  /usr/lib/wine/wineserver -w 2> /dev/null
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
eventually clipboard_holds 123
"$rgbhsv" --window > "$work/second.out" 2>&1 &
second_pid=$!
for _ in $(seq 100); do
  second=$(xdotool search --classname '^rgbhsv$' 2> /dev/null | grep -vx "$first" | head -1)
  [ -n "$second" ] && xwininfo -id "$second" | grep -q IsViewable && break
  sleep 0.1
done
corner() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x "," y }'; }
check "a second window does not open over the first ($(corner "$first") and $(corner "$second"))" \
  [ "$(corner "$first")" != "$(corner "$second")" ]
xdotool windowmove --sync "$first" 0 0 windowmove --sync "$second" 640 0
# Each shown while it has the keyboard: the other, inactive, hides its
# selection.
settled "$second" "$work/unpasted.png"
press "$second" "ctrl+v shift+Home"
settled "$second" "$work/pasted.png" "$work/unpasted.png"
settled "$first" "$work/inactive.png"
press "$first" ""
settled "$first" "$work/copied.png" "$work/inactive.png"
differ=$(compare -metric AE "$work/copied.png" "$work/pasted.png" null: 2>&1 | cut -d' ' -f1)
check "what one window copies, another pastes through the desktop's clipboard ($differ pixels differ)" [ "$differ" = 0 ]
for which in first second; do
  [ "$which" = first ] && pid=$first_pid window=$first || pid=$second_pid window=$second
  "$wm_close" "$window"
  ended "$pid" 10
  status=$?
  check "the window manager's close ends the $which window with status 0 (it ended with $status)" [ "$status" = 0 ]
  [ "$status" = 0 ] || sed 's/^/  it said: /' "$work/$which.out"
done

env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$rgbhsv" --window > "$work/none.out" 2>&1
status=$?
check "without a desktop --window ends with status 1" [ "$status" = 1 ]
check "and says why in one line" bash -c "[ \$(wc -l < '$work/none.out') = 1 ] && grep -q 'no desktop' '$work/none.out'"
# A display that answers nothing, as when the desktop has gone: named, with
# the reason, by --window and, with no terminal either (started from a
# menu), by the start that would have fallen back to the terminal.
env -u WAYLAND_DISPLAY DISPLAY=:97 timeout 20 "$rgbhsv" --window > "$work/gone.out" 2>&1
status=$?
check "--window on a display that does not answer ends with status 1 ($status)" [ "$status" = 1 ]
check "and names the display: $(cat "$work/gone.out")" grep -q "display ':97'" "$work/gone.out"
env -u WAYLAND_DISPLAY DISPLAY=:97 timeout 20 "$rgbhsv" < /dev/null > "$work/menu.out" 2>&1
check "started from a menu, it names the display and why the terminal cannot serve: $(cat "$work/menu.out")" \
  grep -q "display ':97'.*terminal" "$work/menu.out"

# A Wayland compositor alone, with no seat (weston, headless): where SDL
# would end the program inside its start, the window says why at once.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket=wayland-rgbhsv --idle-time=0 > "$work/weston.log" 2>&1 &
weston=$!
eventually test -S "$XDG_RUNTIME_DIR/wayland-rgbhsv"
started=$SECONDS
env -u DISPLAY WAYLAND_DISPLAY=wayland-rgbhsv timeout 20 "$rgbhsv" --window > "$work/seatless.out" 2>&1
status=$?
check "--window on a Wayland compositor without a seat ends with status 1 ($status) within 2 s ($((SECONDS - started)) s)" \
  [ "$status" = 1 -a $((SECONDS - started)) -le 2 ]
check "and says why in one line: $(cat "$work/seatless.out")" \
  bash -c "[ \$(wc -l < '$work/seatless.out') = 1 ] && grep -q 'no seat' '$work/seatless.out'"
# From a menu, with the X display named gone too (Xwayland ended): the
# compositor is asked all the same before SDL would turn to it.
DISPLAY=:97 WAYLAND_DISPLAY=wayland-rgbhsv timeout 20 "$rgbhsv" < /dev/null > "$work/seatless-menu.out" 2>&1
check "started from a menu there, its X display gone, it says why neither the window nor the terminal can serve: $(cat "$work/seatless-menu.out")" \
  grep -q "no seat.*terminal" "$work/seatless-menu.out"
# ... and, in a terminal, shows the dialog there and says why once it ends.
env -u DISPLAY WAYLAND_DISPLAY=wayland-rgbhsv TERM=xterm script -qec "$rgbhsv" /dev/null \
  < <(sleep 1; printf '\033'; sleep 1) > "$work/fallback.out" 2>&1
check "in a terminal there, it shows the dialog in it, and says why after: $(grep -a -o 'rgbhsv: [^[:cntrl:]]*' "$work/fallback.out")" \
  bash -c "grep -q 'RGB <-> HSV' '$work/fallback.out' && tail -1 '$work/fallback.out' | grep -q 'no seat.*in the terminal instead'"
kill "$weston"

echo "$failures failed"
[ "$failures" = 0 ]
