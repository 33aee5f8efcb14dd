#!/usr/bin/env bash
# The desktop window on a virtual X display and on a headless Wayland
# compositor (sway): start to its first drawn frame (median of 9), beside
# the Windows build's start to its visible dialog under Wine on the same X
# display; and the window's peak resident memory on each.
# usage: window_bench.sh RGBHSV WINDOWS_BIN_DIR [RUNS]
set -u
program=$(readlink -f "$1")
windows=$(readlink -f "$2")
runs=${3:-9}
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$work/display" > /dev/null 2>&1 &
xvfb=$!
trap '/usr/lib/wine/wineserver -k 2>/dev/null; kill $xvfb ${sway:-} ${keyboard:-} 2>/dev/null; rm -rf "$work" ${runtime:-}' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.0f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
now() { date +%s%N; }

# The first frame is there once the window is shown and its swatch (white
# at the start) is drawn: the pixel at (20, 20) of its client area.
for _ in $(seq "$runs"); do
  start=$(now)
  "$program" --window &
  pid=$!
  until id=$(xdotool search --classname '^rgbhsv$' 2> /dev/null | head -1) && [ -n "$id" ] &&
    xwininfo -id "$id" 2> /dev/null | grep -q IsViewable &&
    import -window "$id" -crop 1x1+20+20 txt:- 2> /dev/null | grep -q white; do :; done
  echo $(( ($(now) - start) / 1000000 )) >> "$work/ours"
  xdotool windowfocus --sync "$id" key 1 2 Tab 7 2> /dev/null
  sleep 0.3
  grep VmHWM "/proc/$pid/status" | awk '{ print $2 }' >> "$work/memory"
  xdotool key Escape
  wait "$pid"
done
echo "window on X11, start to first drawn frame (median of $runs): $(median < "$work/ours") ms"
echo "window on X11, peak resident memory (median of $runs): $(median < "$work/memory") kB"

# The same on Wayland: the first frame is there once the compositor shows
# the window and its swatch is drawn.
. "$(dirname "$0")/../tests/test_lib.sh"
runtime=$(mktemp -d)
if command -v sway > /dev/null && start_sway "$runtime" 1024x768; then
  wtype -s 3600000 "" &
  keyboard=$!
  swatch() {
    local window
    window=$(window_of) && [ -n "$window" ] || return 1
    window=${window#*|}
    grim -g "$((${window%%,*} + 20)),$(($(cut -d, -f2 <<< "${window%% *}") + 20)) 1x1" -t ppm - 2> /dev/null |
      tail -c 3 | od -An -tx1 | grep -q 'ff ff ff'
  }
  for _ in $(seq "$runs"); do
    start=$(now)
    "$program" --window &
    pid=$!
    until swatch; do :; done
    echo $(( ($(now) - start) / 1000000 )) >> "$work/wayland-ours"
    wtype 1 2 -k Tab 7
    sleep 0.3
    grep VmHWM "/proc/$pid/status" | awk '{ print $2 }' >> "$work/wayland-memory"
    wtype -k Escape
    wait "$pid"
  done
  echo "window on Wayland, start to first drawn frame (median of $runs): $(median < "$work/wayland-ours") ms"
  echo "window on Wayland, peak resident memory (median of $runs): $(median < "$work/wayland-memory") kB"
  kill "$sway" "$keyboard" 2> /dev/null
  unset WAYLAND_DISPLAY
fi

wine=/usr/lib/wine/wine64
if [ -f "$windows/probe.exe" ] && [ -x "$wine" ]; then
  export WINEPREFIX="$windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -d "$WINEPREFIX" ] || "$wine" wineboot -i > /dev/null 2>&1
  exe="Z:$(tr / '\\' <<< "$windows/rgbhsv.exe")"
  "$wine" "$windows/probe.exe" "$exe" --startup > /dev/null  # warm the prefix
  for _ in $(seq 5); do "$wine" "$windows/probe.exe" "$exe" --startup | tr -d '\r' >> "$work/wine"; done
  echo "the Windows build, start to the visible dialog under Wine (probe, median of 5): $(median < "$work/wine") ms"
fi
