#!/usr/bin/env bash
# The dialog program in a real terminal: tmux runs it, send-keys types and
# clicks as a person would, capture-pane reads the screen back.
# usage: terminal_test.sh RGBHSV HSVCONV SCENARIO_HOST
set -u
# The terminal, as where there is no desktop, even when run on one.
unset DISPLAY WAYLAND_DISPLAY
program=$(readlink -f "$1")
hsvconv=$(readlink -f "$2")
host=$(readlink -f "$3")
here=$(dirname "$(readlink -f "$0")")
. "$here/test_lib.sh"
command -v tmux >/dev/null && command -v script >/dev/null || skip "tmux or script is missing (make test installs them)"

work=$(mktemp -d)
socket="rgbhsv-test-$$"
t() { tmux -L "$socket" -f "$work/tmux.conf" "$@"; }
trap 't kill-server 2>/dev/null; rm -rf "$work"' EXIT
cat > "$work/tmux.conf" <<'CONF'
set -g default-terminal "tmux-256color"
set -g status off
set -g remain-on-exit off
CONF

screen() { t capture-pane -p -t s "$@"; }
shows() { screen | grep -qF -- "$1"; }
colours() { screen -e | grep -qF -- "$1"; }
# Every wait is for what the step expects, with a deadline that only a
# machine far too busy reaches; none is for a fixed time.
explain() { echo "  the screen was:"; screen | sed 's/^/  | /'; return 1; }
wait_for() { eventually shows "$1" || explain; }  # text on the screen
wait_colours() { eventually colours "$1" || explain; }
wait_line() {  # row N of the screen matches a pattern
  eventually bash -c "tmux -L $socket capture-pane -p -t s | sed -n '$1p' | grep -q -- '$2'" || explain
}
wait_file() { eventually test -s "$1"; }
keys() { t send-keys -t s "$@"; }
# Starts the program in a fresh 80 x 24 terminal. The shell around it notes
# the terminal's modes before and after and the exit status.
run() {
  t kill-session -t s 2>/dev/null
  rm -f "$work/before" "$work/after" "$work/status" "$work/bytes"
  t new-session -d -s s -x 80 -y 24 "bash --norc --noprofile"
  t send-keys -t s "export COLORTERM=truecolor W=$work; stty -g > $work/before; $1; echo \$? > $work/status; stty -g > $work/after" Enter
}
start() { run "$1"; wait_for "RGB <-> HSV"; }
same_modes() { wait_file "$work/after" && cmp -s "$work/before" "$work/after"; }
status_is() { wait_file "$work/status" && [ "$(cat "$work/status")" = "$1" ]; }
# hsvconv's answer for a colour, spaced as the fields show it.
row() { printf '%-8s%-8s%s' $("$hsvconv" "$@"); }

hidden() { ! shows "RGB <-> HSV"; }
gone() { eventually hidden || explain; }

# Start-up, typing, Escape.
start "$program"
check "start-up shows the RGB row" wait_for "255     255     255       [ Select... ]"
check "start-up shows the HSV row" wait_for "0       0       255"
check "the swatch starts white, in exact colour, outlined" wait_colours "48;2;255;255;255m│         │"
keys Tab Tab 0
keys BTab 2 0 0
check "typing into green and blue moves the RGB row" wait_for "255     200     0"
check "the HSV row follows" wait_for "$(row rgb 255 200 0)"
check "the swatch follows" wait_colours "48;2;255;200;0m"
keys Escape
check "Escape ends with status 0" status_is 0
check "the terminal's modes are as before" same_modes
check "the screen is the shell's again" gone

# 300 becomes 255 with the bell; the bytes go through script to be counted.
start "script -qfec $program $work/bytes"
keys Tab Tab 0 BTab BTab 3 0 0
check "300 in red becomes 255" wait_for "255     255     0"
check "and the HSV row follows red 255" wait_for "$(row rgb 255 255 0)"
keys Tab C-IC
check "Tab, Ctrl+Insert puts green's 255 on the terminal's clipboard (OSC 52)" eventually grep -qF $'\e]52;c;MjU1\e\\' "$work/bytes"
keys C-c
check "Ctrl+C closes with status 0" status_is 0
check "the bell rang once" [ "$(tr -cd '\a' < "$work/bytes" | wc -c)" = 1 ]

# A click places the caret: at the end of green, then Backspace.
start "$program"
# Dialog at column 12, row 6; its client one cell in; green 22 cells into that.
x=$((12 + 1 + 22 + 3)) y=$((6 + 1 + 2))
keys -l "$(printf '\033[M %b%b' "\\0$(printf '%o' $((32 + x + 1)))" "\\0$(printf '%o' $((32 + y + 1)))")"
keys -l "$(printf '\033[M#%b%b' "\\0$(printf '%o' $((32 + x + 1)))" "\\0$(printf '%o' $((32 + y + 1)))")"
keys BSpace
check "a click into green, then Backspace, leaves 25" wait_for "255     25      255"
check "and the HSV row follows" wait_for "$(row rgb 255 25 255)"

# Pasted text goes through the field's own rules: digits, at most three.
keys Tab
keys -l "$(printf '\033[200~1a2\n34\033[201~')"
check "a paste into blue keeps three digits" wait_for "255     25      123"

# Resizing re-centres; too small a terminal gets one line until it grows.
t resize-window -t s -x 100 -y 30
check "a resize re-centres the dialog" wait_line 10 '^                       RGB <-> HSV'
t resize-window -t s -x 40 -y 10
check "a small terminal says what it needs and has" wait_for "Needs 55x12, has 40x10; Esc closes"
# Ctrl+Z after the keys shows when they have been read.
keys BSpace 7 C-z
check "keys typed while hidden are read, and Ctrl+Z still stops it" wait_for "Stopped"
t send-keys -t s "fg" Enter
wait_for "Needs 55x12"
t resize-window -t s -x 80 -y 24
check "and the dialog comes back, untouched by keys typed while hidden" wait_for "255     25      123"
keys Escape
check "the terminal's modes are as before" same_modes

# A bracketed paste is text up to its closing bracket, however long: nothing
# in it is a key, not even Ctrl+C, Enter or Tab, and none of it reaches the
# shell. Red's selected 255 gives way to the paste's one digit.
start "$program"
# The command names the folder through the shell's $W: the folder's own name may hold digits.
keys -l "$(printf '\033[200~%s\003touch $W/pasted\r\t7\033[201~' "$(printf 'a%.0s' $(seq 5000))")"
check "a paste of 5,000 letters, Ctrl+C, a command line, Tab and 7 leaves red 7" wait_for "7       255     255"
keys Escape
check "and closes only at the Escape after it" status_is 0
check "and nothing of it reached the shell" [ ! -e "$work/pasted" ]

# Suspend by SIGTSTP and by Ctrl+Z: the shell has its own terminal back
# while the program is stopped, and fg brings the whole dialog back with
# every mode it had (keypad, bracketed paste).
run "true"
t send-keys -t s "$program" Enter
wait_for "RGB <-> HSV"
keys 1 2 3
wait_for "123     255     255"
kill -TSTP "$(pgrep -P "$(t display -p -t s '#{pane_pid}')" -x rgbhsv)"
check "SIGTSTP stops it" wait_for "Stopped"
rm -f "$work/after"
t send-keys -t s "stty -g > $work/after; clear; fg" Enter
check "while stopped, the terminal's modes are the shell's" same_modes
check "fg draws the whole dialog again" wait_for "123     255     255"
keys Left BSpace
check "after a resume the arrow keys still work" wait_for "13      255     255"
keys -l "$(printf '\033[200~9\0339\033[201~')"
check "and an Escape inside a paste does not close it" wait_for "193     255     255"
keys C-z
check "Ctrl+Z stops it too" wait_for "Stopped"
t send-keys -t s "fg" Enter
check "and fg brings it back" wait_for "193     255     255"
rm -f "$work/status" "$work/after"
keys Escape Escape
gone
t send-keys -t s "echo \$? > $work/status; stty -g > $work/after" Enter
check "two Escapes in one read close it with status 0" status_is 0
check "and the terminal's modes are as before" same_modes

# A terminal that is too small says how to leave, and Escape leaves.
start "$program"
t resize-window -t s -x 50 -y 10
check "a small terminal says how to leave" wait_for "Needs 55x12, has 50x10; Escape or Ctrl+C closes"
keys Escape
check "and Escape closes the hidden dialog with status 0" status_is 0

# A resize while suspended: fg draws for the size the terminal has now.
start "$program"
keys C-z
check "Ctrl+Z stops it" wait_for "Stopped"
t resize-window -t s -x 100 -y 30
t send-keys -t s "fg" Enter
check "after a resize while stopped, fg centres the dialog in the new size" \
  wait_line 10 '^                       RGB <-> HSV'
keys Escape
t resize-window -t s -x 80 -y 24

# Signals whose default ends the program leave the terminal as it was.
start "$program"
kill -USR1 "$(pgrep -P "$(t display -p -t s '#{pane_pid}')" -x rgbhsv)"
check "SIGUSR1 ends it as SIGUSR1 would" status_is 138
check "and the terminal's modes are as before" same_modes
check "and the screen is the shell's again" gone

# Clicks on a terminal wider than the old mouse encoding reaches (223).
start "script -qfec $program $work/bytes"
t resize-window -t s -x 500 -y 24
check "SGR mouse reports are asked for" eventually grep -qF $'\e[?1006h' "$work/bytes"
wait_line 7 '^ \{223\}RGB <-> HSV'
# Dialog at column 222, row 6; green 22 cells into its client, past "255".
x=$((222 + 1 + 22 + 3)) y=$((6 + 1 + 2))
keys -l "$(printf '\033[<0;%d;%dM\033[<0;%d;%dm' $((x + 1)) $((y + 1)) $((x + 1)) $((y + 1)))"
keys BSpace
check "a click at column $x reaches green" wait_for "255     25      255"
keys Escape
t resize-window -t s -x 80 -y 24

# A desktop that cannot be reached leaves the dialog in the terminal, and
# --terminal keeps it there whatever desktop is named.
for command in "env DISPLAY=:65000 $program" "env DISPLAY=:65000 $program --terminal"; do
  run "$command"
  check "$command shows the dialog in the terminal" wait_for "RGB <-> HSV"
  keys Escape
  check "and Escape ends it with status 0" status_is 0
done

# Keys as terminals send them, whatever TERM names: inside tmux with the
# xterm entry, Home is tmux's \e[1~; Alt+Backspace is an undo, not Escape.
start "env TERM=xterm-256color $program"
keys Tab 1 2 Home 0
check "Home works under TERM=xterm-256color in tmux" wait_for "255     012     255"
keys M-BSpace
check "Alt+Backspace undoes the typing and leaves the dialog open" wait_for "255     255     255"
keys Escape

# Every key an edit field answers, as the Windows build answers it: a seeded
# random session, the fields, focus and selection read off the pane after
# every key (terminal_keys.js).
start "$program"
if command -v node > /dev/null; then
  check "the terminal's key session leaves what Windows left after every key" \
    node "$here/terminal_keys.js" "$socket" s "$("$host" --random 2026 300 terminal)" "$here/key_session_terminal.trace"
else
  echo "node is missing (make test installs it)"
  [ "${CI:-}" = true ] && failures=$((failures + 1))
fi
keys Escape

# Eight colours: fields keep a ground of their own, greyed text is dim.
start "env -u COLORTERM TERM=xterm $program"
check "eight colours: the fields stand out from the dialog" wait_colours $'\e[46m0      '
check "eight colours: the greyed button is dim, not white on white" wait_colours $'\e[2m[ Select... ]'
keys Escape

# A terminal that cannot move the cursor is refused before anything is drawn.
run "TERM=dumb $program 2> $work/err"
check "TERM=dumb is refused with status 1" status_is 1
check "with one line saying why" [ "$(cat "$work/err")" = "rgbhsv: terminal type 'dumb' cannot move the cursor" ]
check "and the terminal's modes are as before" same_modes

# SIGTERM: the terminal is restored, and the signal is the exit status.
start "$program"
pid=$(pgrep -P "$(t display -p -t s '#{pane_pid}')" -x rgbhsv)
kill -TERM "$pid"
check "SIGTERM ends it as SIGTERM would" status_is 143
check "and the terminal's modes are as before" same_modes

# Without a terminal.
"$program" < /dev/null > "$work/out" 2> "$work/err"
status=$?
check "without a terminal the status is 1" [ "$status" = 1 ]
check "and it says why" grep -q "rgbhsv: needs a terminal" "$work/err"
"$program" -h > "$work/out"
check "-h is --help" grep -q "^Usage: rgbhsv" "$work/out"
"$program" --help extra 2> "$work/err"
status=$?
check "--help with an argument after it names that argument, status 2" \
  [ "$status:$(cat "$work/err")" = "2:rgbhsv: unexpected argument 'extra'; usage: rgbhsv [--terminal | --window | --help | --version]" ]
"$program" --help > /dev/full 2> "$work/err"
status=$?
check "--help into a full disk ends with status 1" [ "$status" = 1 ]
check "and says it could not write" grep -q "^rgbhsv: cannot write output: No space left on device" "$work/err"

echo "$failures failed"
[ "$failures" = 0 ]
