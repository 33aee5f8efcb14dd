#!/usr/bin/env bash
# The window on GNOME's compositor, which draws no title bars (it offers no
# xdg-decoration): mutter, nested in a virtual X display so that its output
# can be seen and its pointer and keyboard driven. rgbhsv draws the
# dialog's own caption; a drag on it moves the window as the compositor
# moves windows; clicks and keys reach the fields (a colour typed shows in
# the swatch); the close box ends it with status 0. At the output's scale 2
# the window is laid out at 192 DPI: its caption is taller than twice the
# one at 96 DPI (which enlarged would be at most), and its text smoothed.
# usage: gnome_test.sh RGBHSV
set -u -o pipefail
rgbhsv=$(readlink -f "$1")
. "$(dirname "$0")/test_lib.sh"
for tool in mutter dbus-run-session Xvfb xdotool import convert; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done
work=$(mktemp -d)
start_xvfb "$work" 1024x768x24
# mutter runs in a session bus of its own (dbus-run-session's children
# both), which goes with it.
stop_mutter() { [ -n "${mutter:-}" ] && { pkill -P "$mutter"; kill "$mutter"; wait "$mutter"; } 2> /dev/null; mutter=; }
trap 'stop_mutter; sleep 0.3; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
unset SDL_VIDEODRIVER

# mutter with one output at `scale`, Wayland clients only.
start_mutter() {  # scale
  stop_mutter
  rm -f "$work/run/wl-gnome"*
  MUTTER_DEBUG_NUM_DUMMY_MONITORS=1 MUTTER_DEBUG_DUMMY_MONITOR_SCALES=$1 \
    dbus-run-session -- mutter --nested --wayland --no-x11 --wayland-display=wl-gnome > "$work/mutter.log" 2>&1 &
  mutter=$!
  eventually test -S "$work/run/wl-gnome"
}
# Where the dialog's caption is on the screen, as its navy band (wider
# than 100 pixels, which a field's selection, navy too, is not):
# "WxH+X+Y", or nothing.
caption() {
  import -window root "$work/screen.png" 2> /dev/null
  convert "$work/screen.png" -fill black +opaque '#000080' -fill white -opaque '#000080' \
    -morphology Open Rectangle:100x1 -bordercolor black -border 1 -trim -format '%wx%h%O\n' info: 2> /dev/null |
    sed -E 's/\+([0-9]+)\+([0-9]+)$/ \1 \2/' | { read -r size ox oy && echo "$size+$((ox - 1))+$((oy - 1))"; } |
    grep -E '^[0-9]+x[0-9]+\+[0-9]+\+[0-9]+$'
}
shown() { at=$(caption) && [ -n "$at" ]; }
moved_to() { at=$(caption) && [ "${at#*+}" = "$1" ]; }

start_mutter 1
WAYLAND_DISPLAY=wl-gnome "$rgbhsv" --window > "$work/out" 2>&1 &
ours=$!
at=
eventually shown
check "on mutter the dialog draws its own caption ($at)" [ -n "$at" ]
[ -n "$at" ] || { sed 's/^/  it said: /' "$work/out"; sed 's/^/  mutter: /' "$work/mutter.log" | tail -5; }
read -r w h x y <<< "$(tr 'x+' '  ' <<< "${at:-0x0+0+0}")"

# A drag from the caption's middle, 150 right and 200 down.
xdotool mousemove $((x + w / 2)) $((y + h / 2)) mousedown 1 sleep 0.2 mousemove $((x + w / 2 + 60)) $((y + h / 2 + 80)) \
  sleep 0.2 mousemove $((x + w / 2 + 150)) $((y + h / 2 + 200)) sleep 0.2 mouseup 1
eventually moved_to "$((x + 150))+$((y + 200))"
check "a drag on the caption moves the window with the pointer (to ${at#*+})" [ "${at#*+}" = "$((x + 150))+$((y + 200))" ]
read -r w h x y <<< "$(tr 'x+' '  ' <<< "${at:-0x0+0+0}")"

# Red's field is the first below the caption: a double click there selects
# its 255; 7 replaces it, and Tab then 42 set green. The swatch shows the
# colour, 7 42 255.
field_x=$((x + 110 - 17)) field_y=$((y + h + 36))
xdotool mousemove "$field_x" "$field_y" click --repeat 2 --delay 80 1
xdotool key 7 Tab 4 2
swatch() { import -window root "$work/screen.png" 2> /dev/null &&
  [ "$(convert "$work/screen.png" -fill black +opaque '#072AFF' -fill white -opaque '#072AFF' -format '%[fx:mean*w*h]' info:)" -gt 1000 ]; }
eventually swatch
check "a double click and keys reach the fields: the swatch shows 7 42 255" swatch

# The close box, at the caption's right end.
xdotool mousemove $((x + w - 10)) $((y + h / 2)) click 1
status=none
for _ in $(seq 100); do kill -0 $ours 2> /dev/null || break; sleep 0.1; done
kill -0 $ours 2> /dev/null || { wait $ours; status=$?; }
check "the close box ends it, with status 0 ($status)" [ "$status" = 0 ]
kill $ours 2> /dev/null

# At scale 2: laid out at 192 DPI in the output's own pixels, where Windows
# smooths Tahoma, so the caption's white text shows greys between white and
# navy.
start_mutter 2
WAYLAND_DISPLAY=wl-gnome "$rgbhsv" --window > "$work/out" 2>&1 &
ours=$!
at=
eventually shown
read -r w2 h2 x2 y2 <<< "$(tr 'x+' '  ' <<< "${at:-0x0+0+0}")"
check "at scale 2 the caption is laid out at 192 DPI, taller than twice its height at 96 ($h2 pixels, $h at scale 1)" [ "$h2" -gt $((2 * h)) ]
convert "$work/screen.png" -crop "${w2}x${h2}+${x2}+${y2}" +repage "$work/caption.png"
colours=$(convert "$work/caption.png" -unique-colors -format '%w' info: 2> /dev/null)
check "and its text is smoothed ($colours colours in the caption)" [ "${colours:-0}" -gt 4 ]
kill $ours 2> /dev/null

echo "$failures failed"
[ "$failures" = 0 ]
