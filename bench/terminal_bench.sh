#!/usr/bin/env bash
# The dialog program in a real terminal (tmux): start-up to the first
# complete frame, beside Debian's `dialog --form` with three fields in the
# same run; bytes written per colour-changing keystroke; peak memory.
# usage: terminal_bench.sh RGBHSV [RUNS]
set -u
# The terminal, as where there is no desktop, even when run on one.
unset DISPLAY WAYLAND_DISPLAY
program=$(readlink -f "$1")
runs=${2:-15}
work=$(mktemp -d)
socket="rgbhsv-bench-$$"
t() { tmux -L "$socket" -f "$work/tmux.conf" "$@"; }
trap 't kill-server 2>/dev/null; rm -rf "$work"' EXIT
printf 'set -g default-terminal "tmux-256color"\nset -g status off\n' > "$work/tmux.conf"
t new-session -d -s s -x 80 -y 24 "bash --norc --noprofile"
sleep 0.3

now() { date +%s%N; }
# Milliseconds from typing the command to the screen showing `text`, which
# only the drawn program shows (not the typed command line); then `key`
# leaves it, and the wait is for the shell to say it has, so that every run
# starts from the same quiet shell.
runs_done=0
time_to() {
  local command=$1 text=$2 key=$3 start elapsed
  runs_done=$((runs_done + 1))
  t send-keys -t s "clear; $command; printf 'en%s\\n' ded-$runs_done" Enter
  start=$(now)
  until t capture-pane -p -t s | grep -qF -- "$text"; do :; done
  elapsed=$(( ($(now) - start) / 1000 ))
  t send-keys -t s "$key"
  until t capture-pane -p -t s | grep -qx -- "ended-$runs_done"; do sleep 0.01; done
  echo "$elapsed"
}
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) / 1000 }'; }

# dialog draws its whole form in one refresh: its Cancel button is on the
# screen only once the form is.
form="dialog --form Colour 12 40 3 Red: 1 1 255 1 8 4 3 Green: 2 1 255 2 8 4 3 Blue: 3 1 255 3 8 4 3"
for _ in $(seq "$runs"); do
  time_to "$program" "0       0       255" Escape >> "$work/ours"
  time_to "$form" "<Cancel>" Escape >> "$work/dialog"
done
echo "start-up to first complete frame, median of $runs: rgbhsv $(median < "$work/ours") ms, dialog --form $(median < "$work/dialog") ms"

# Bytes per keystroke, read from what script records; blue to 0 first, then
# digits into green, every one of which changes the colour.
t send-keys -t s "clear; COLORTERM=truecolor script -qfc $program $work/bytes" Enter
until t capture-pane -p -t s | grep -qF "0       0       255"; do :; done
t send-keys -t s Tab Tab 0 BTab
until t capture-pane -p -t s | grep -qF "255     255     0"; do sleep 0.01; done
sizes=()
# Green goes 1 12 1 13 1 0 4 45 4 46 4 0 9 99 9 90: sixteen keys, each a new colour.
for key in 1 2 BSpace 3 BSpace BSpace 4 5 BSpace 6 BSpace BSpace 9 9 BSpace 0; do
  before=$(stat -c %s "$work/bytes")
  t send-keys -t s "$key"; sleep 0.3
  sizes+=($(( $(stat -c %s "$work/bytes") - before )))
done
pid=$(pgrep -n -x rgbhsv)
peak=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
t send-keys -t s Escape; sleep 0.3
echo "bytes written per colour-changing keystroke: ${sizes[*]} (from $(printf '%s\n' "${sizes[@]}" | sort -n | head -1) to $(printf '%s\n' "${sizes[@]}" | sort -n | tail -1))"
echo "peak resident memory: $peak kB"

# The Windows build, where it has been made (make windows): sizes, and
# start-up to the visible dialog under Wine, in the same run.
windows=$(dirname "$program")/../windows
wine=/usr/lib/wine/wine64
if [ -f "$windows/x86_64/probe.exe" ] && [ -x "$wine" ] && command -v Xvfb >/dev/null; then
  for arch in x86_64 i686; do
    echo "size of $arch rgbhsv.exe: $(stat -c %s "$windows/$arch/rgbhsv.exe") bytes, hsvconv.exe: $(stat -c %s "$windows/$arch/hsvconv.exe") bytes"
  done
  export WINEPREFIX=$(readlink -f "$windows/x86_64")/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  [ -d "$WINEPREFIX" ] || "$wine" wineboot -i > /dev/null 2>&1
  exe="Z:$(readlink -f "$windows/x86_64/rgbhsv.exe" | tr / '\\')"
  "$wine" "$windows/x86_64/probe.exe" "$exe" --startup > /dev/null  # warm the prefix
  for _ in $(seq 5); do "$wine" "$windows/x86_64/probe.exe" "$exe" --startup | tr -d '\r' >> "$work/wine"; done
  echo "start-up to the visible dialog under Wine (probe, median of 5): $(awk '{ print $1 * 1000 }' "$work/wine" | median) ms"
  /usr/lib/wine/wineserver -k 2>/dev/null
  sleep 0.5
  kill $xvfb 2>/dev/null
fi
