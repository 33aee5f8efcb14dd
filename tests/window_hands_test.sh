#!/usr/bin/env bash
# The desktop window under a person's hands, on a virtual X display: the
# mouse selects in the fields as in the Windows build under Wine (a drag
# past a field's end, a double click, Shift+click; a 7 then replaces the
# selection), and an inactive window looks as Wine's does (no selection's
# highlight, no caret) until the keyboard comes back. Then the desktop
# around it: text an input method commits in one piece ("123" from a
# Compose sequence) is typed whole, and the window is idle after; what was
# copied stays on the clipboard after the window has closed, where a
# clipboard manager runs; a program that asks for the clipboard and quits
# does not end the window by an X error.
# usage: window_hands_test.sh RGBHSV WINDOWS_BIN_DIR DESKTOP_PARTS
set -u -o pipefail
rgbhsv=$(readlink -f "$1")
bin=$(readlink -f "$2")
parts=$(readlink -f "$3")
. "$(dirname "$0")/desktop_session.sh"

open_both 96
check "both windows open" test -n "$ours" -a -n "$theirs"
xdotool windowmove --sync "$ours" 0 0 windowmove --sync "$theirs" 640 0

# The gestures, made on our window, each shown after it, then on the
# Windows build's, and the two compared step by step: one window at a time,
# as Wine may hold the pointer a moment after a gesture of its own. Points
# are in the window, at 96 DPI: the green field's digits start at (86, 31),
# the blue's at (182, 31), the hue's at (86, 87).
names=("a drag from the green field's first digit to past its end"
       "a double click in the blue field"
       "a click in the hue field, and Shift+click further on"
       "a 7 typed over that selection"
       "a drag from the hue field's end back past its start")
# (The double click comes after a click of its own, apart by more than a
# double click's time: Wine may take a first click as the one that makes it
# active.)
words=('mousemove --window $w 138 31 mousedown 1 mousemove --window $w 150 31 mousemove --window $w 200 31 mouseup 1'
       'mousemove --window $w 200 31 click 1 sleep 0.7 click --repeat 2 --delay 80 1'
       'mousemove --window $w 90 87 click 1 sleep 0.6 mousemove --window $w 118 87 keydown shift click 1 keyup shift'
       'key 7'
       'mousemove --window $w 100 87 mousedown 1 mousemove --window $w 60 87 mouseup 1')
for side in ours theirs; do
  w=${!side}
  press "$w" ""
  settled "$w" "$work/$side-start.png"
  before="$work/$side-start.png"
  for i in "${!names[@]}"; do
    eval "xdotool ${words[$i]}"
    settled "$w" "$work/$side-$i.png" "$before" || echo "  $side did not settle after ${names[$i]}"
    before="$work/$side-$i.png"
  done
done
for i in "${!names[@]}"; do
  n=$(differ "$work/ours-$i.png" "$work/theirs-$i.png")
  check "${names[$i]}: as in the Windows build ($n pixels differ)" [ "$n" = 0 ]
done

# Inactive, both: each shown while the other has the keyboard.
xdotool windowfocus --sync "$theirs"
settled "$ours" "$work/ours-inactive.png" "$work/ours-$((${#names[@]} - 1)).png"
xdotool windowfocus --sync "$ours"
settled "$theirs" "$work/theirs-inactive.png" "$work/theirs-$((${#names[@]} - 1)).png"
n=$(differ "$work/ours-inactive.png" "$work/theirs-inactive.png")
check "inactive, the window hides the selection and the caret as the Windows build does ($n pixels differ)" [ "$n" = 0 ]
settled "$ours" "$work/ours-back.png" "$work/ours-inactive.png"
n=$(differ "$work/ours-back.png" "$work/ours-$((${#names[@]} - 1)).png")
check "and shows them again when the keyboard comes back ($n pixels differ)" [ "$n" = 0 ]
press "$ours" Escape
ended "$ours_pid" 10
/usr/lib/wine/wineserver -k 2> /dev/null

# "123" committed at once, by a Compose sequence of the test's own.
printf '<F12> <a> : "123"\n' > "$work/compose"
XCOMPOSEFILE="$work/compose" LANG=C.UTF-8 "$rgbhsv" --window > "$work/compose.out" 2>&1 &
pid=$!
window=$(find_window '^rgbhsv$')
press "$window" "F12 a shift+Home ctrl+c"
eventually clipboard_holds 123
check "a text event's characters are each typed once ($(xclip -o -selection clipboard 2>&1))" \
  [ "$(xclip -o -selection clipboard 2>&1)" = 123 ]
cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
before=$(cpu "$pid")
sleep 2
spent=$(($(cpu "$pid") - before))
check "and the window is idle after ($spent hundredths of a second of CPU in 2 s)" [ "$spent" -le 20 ]
press "$window" Escape
ended "$pid" 10

# The clipboard after the window has closed.
"$parts" manager > "$work/manager.out" 2>&1 &
manager=$!
eventually grep -q ready "$work/manager.out"
"$rgbhsv" --window > "$work/copier.out" 2>&1 &
pid=$!
window=$(find_window '^rgbhsv$')
press "$window" "1 2 3 shift+Home ctrl+c Escape"
ended "$pid" 10
status=$?
check "a window that copied ends with status 0 ($status)" [ "$status" = 0 ]
check "and what it copied still pastes: $(xclip -o -selection clipboard 2>&1)" \
  [ "$(xclip -o -selection clipboard 2>&1)" = 123 ]
kill "$manager"

# A paste whose window is gone before the answer: the window is stopped
# while it is asked, so that the asker is surely gone.
"$rgbhsv" --window > "$work/vanish.out" 2>&1 &
pid=$!
window=$(find_window '^rgbhsv$')
press "$window" "4 5 shift+Home ctrl+c"
eventually clipboard_holds 45
kill -STOP "$pid"
"$parts" vanishing-paste
kill -CONT "$pid"
press "$window" Escape
ended "$pid" 10
status=$?
check "a paste whose asker has gone does not end the window (status $status)" [ "$status" = 0 ]
[ "$status" = 0 ] || sed 's/^/  it said: /' "$work/vanish.out"

[ -n "${RGBHSV_KEEP_SCREENSHOTS:-}" ] && cp "$work"/*.png "$RGBHSV_KEEP_SCREENSHOTS"/
echo "$failures failed"
[ "$failures" = 0 ]
