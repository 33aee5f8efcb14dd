#!/usr/bin/env bash
# The desktop window as a screen reader meets it: under Xvfb, in a D-Bus
# session of its own with at-spi2-core's accessibility bus, read through the
# AT-SPI client library (pyatspi, tests/atspi_client.py). The tree with its
# roles, names, states, texts and values; Tab, a digit and 999 typed with
# xdotool, each seen as the events screen readers follow, focus first, with
# the numbers the engine gives and the refusal said aloud; and a screen
# reader's own requests: a field focused, another's text set, a range read.
# usage: atspi_test.sh RGBHSV HSVCONV
set -u -o pipefail
if [ -z "${RGBHSV_IN_SESSION:-}" ]; then
  if command -v dbus-run-session > /dev/null; then
    RGBHSV_IN_SESSION=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'fd limit' >&2)
  fi
  . "$(dirname "$0")/test_lib.sh"
  skip "dbus-run-session is missing (make test installs dbus)"
fi
rgbhsv=$(readlink -f "$1")
hsvconv=$(readlink -f "$2")
client_py=$(dirname "$(readlink -f "$0")")/atspi_client.py
. "$(dirname "$0")/desktop_session.sh"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || skip "at-spi2-core is missing (make test installs it)"
/usr/bin/python3 -c 'import pyatspi' 2> /dev/null || skip "pyatspi is missing (make test installs python3-pyatspi)"

"$launcher" --launch-immediately > /dev/null 2>&1 &
launcher_pid=$!
trap 'kill $launcher_pid ${pid:-} 2>/dev/null; sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
"$rgbhsv" --window > "$work/out" 2>&1 &
pid=$!
window=$(find_window '^rgbhsv$')
check "the window opens" test -n "$window"
client() { timeout 60 /usr/bin/python3 "$client_py" "$@" 2> "$work/client.err"; }

client TREE > "$work/tree"
check "the tree has the application, its frame and every control, named, with their states" diff - "$work/tree" << 'EOF'
application|rgbhsv|
  frame|RGB <-> HSV|active,enabled,sensitive,showing,visible
    push button|Select...|showing,visible
    image|Colour swatch, #FFFFFF|enabled,sensitive,showing,visible
    entry|Red, RGB color|editable,enabled,focusable,focused,selectable text,sensitive,showing,single line,visible|text=255|value=255 of 0 to 255
    entry|Green, RGB color|editable,enabled,focusable,selectable text,sensitive,showing,single line,visible|text=255|value=255 of 0 to 255
    entry|Blue, RGB color|editable,enabled,focusable,selectable text,sensitive,showing,single line,visible|text=255|value=255 of 0 to 255
    label|(c) 2026 the rgbhsv developers|showing,visible|text=(c) 2026 the rgbhsv developers
    entry|Hue, HSV color|editable,enabled,focusable,selectable text,sensitive,showing,single line,visible|text=0|value=0 of 0 to 255
    entry|Saturation, HSV color|editable,enabled,focusable,selectable text,sensitive,showing,single line,visible|text=0|value=0 of 0 to 255
    entry|Value, HSV color|editable,enabled,focusable,selectable text,sensitive,showing,single line,visible|text=255|value=255 of 0 to 255
    label|RGB color:|enabled,sensitive,showing,visible|text=RGB color:
    label|HSV color:|enabled,sensitive,showing,visible|text=HSV color:
EOF

client EVENTS Tab 7 "9 9 9" > "$work/events"
sed 's/^/  /' "$work/events"
step() { sed -n "/^-- $1\$/,/^-- /p" "$work/events" | grep -v '^--'; }
check "Tab: the focus leaves red, comes to green, and then green's caret moves" \
  diff - <(step Tab) << 'EOF'
object:state-changed:focused|Red, RGB color|0|
object:state-changed:focused|Green, RGB color|1|
object:text-caret-moved|Green, RGB color|3|
EOF
read -r hue saturation value <<< "$("$hsvconv" rgb 255 7 255)"
check "7: green's text becomes 7 and the HSV row the engine's $hue $saturation $value, then the caret moves" \
  diff - <(step 7 | grep -v ':delete|') << EOF
object:text-changed:insert|Green, RGB color|0|7
object:text-changed:insert|Hue, HSV color|0|$hue
object:text-changed:insert|Saturation, HSV color|0|$saturation
object:text-caret-moved|Green, RGB color|1|
EOF
check "999: the refusal is said aloud, as the page says it" \
  grep -qx 'object:announcement|RGB <-> HSV|2|799 is more than 255: set to 255' "$work/events"

client REQUESTS > "$work/requests"
sed 's/^/  /' "$work/requests"
read -r hue saturation value <<< "$("$hsvconv" rgb 255 255 0)"
check "a screen reader's requests: a field focused, another's text set, a range read" diff - "$work/requests" << EOF
focused after grabFocus: Hue, HSV color
after setTextContents: 255 255 0 $hue $saturation $value
read from 1 to 3 of Value: ${value:1:2}
EOF
[ -s "$work/client.err" ] && sed 's/^/  client: /' "$work/client.err"

press "$window" Escape
ended "$pid" 10
check "Escape still ends it with status 0" [ $? = 0 ]
[ "$failures" = 0 ]
