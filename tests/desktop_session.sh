# Sourced by the tests of the desktop window: a virtual X display of its own
# (1280x800, no window manager) in $DISPLAY, a work folder in $work, and
# what such a test does to windows: find one shown of a class, give keys to
# ours (which takes the keyboard's focus) or send them to Wine's (which
# takes them sent), and check and count. Needs $rgbhsv; with $bin, the
# Windows build under Wine in a prefix of the classic look too.
. "$(dirname "${BASH_SOURCE[0]}")/test_lib.sh"
for tool in Xvfb xdotool xprop import compare xclip; do
  command -v "$tool" > /dev/null || skip "$tool is missing (make test installs it)"
done
"$rgbhsv" --help | grep -q -- --window || skip "this rgbhsv has no window (make test installs libsdl2-dev)"
wine=/usr/lib/wine/wine64
if [ -n "${bin:-}" ]; then
  [ -x "$wine" ] || skip "wine64 is missing (make test installs it)"
  [ -f "$bin/rgbhsv.exe" ] || skip "no Windows build in $bin (make windows builds it)"
fi

# The X11 window, however this session was started.
unset WAYLAND_DISPLAY
work=$(mktemp -d)
start_xvfb "$work" 1280x800x24
trap '[ -n "${bin:-}" ] && /usr/lib/wine/wineserver -k 2>/dev/null; sleep 0.5; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
if [ -n "${bin:-}" ]; then
  export WINEPREFIX="$bin/wine-prefix-classic" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  . "$(dirname "${BASH_SOURCE[0]}")/wine_classic.sh"
fi


find_window() {  # the one shown of a class, as a regular expression; none after 30 s
  for _ in $(seq 300); do
    for id in $(xdotool search --classname "$1" 2> /dev/null); do
      xwininfo -id "$id" 2> /dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return; }
    done
    sleep 0.1
  done
}
press() {  # window, keys
  xdotool windowraise "$1" windowfocus --sync "$1" 2> /dev/null || xdotool windowfocus "$1"
  [ -z "$2" ] || xdotool key --delay 30 $2
}
send() {  # window, keys
  [ -z "$2" ] || xdotool key --window "$1" --delay 30 $2
}
# The desktop's clipboard holds `text`, as another program pastes it.
clipboard_holds() {  # text
  [ "$(xclip -o -selection clipboard 2> /dev/null)" = "$1" ]
}
# Both windows at `dpi`: rgbhsv's ($ours, its process $ours_pid) and the
# Windows build's under Wine ($theirs), each found once it shows.
open_both() {  # dpi
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$1"
  reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$1"
  "$rgbhsv" --window > "$work/ours.out" 2>&1 &
  ours_pid=$!
  ours=$(find_window '^rgbhsv$')
  "$wine" "$bin/rgbhsv.exe" > /dev/null 2>&1 &
  theirs=$(find_window '^rgbhsv.exe$')
}

# Waits at most $2 seconds for process $1 to end, and returns its status;
# 124, having ended it, where it would not.
ended() {
  for _ in $(seq $(($2 * 10))); do
    kill -0 "$1" 2> /dev/null || { wait "$1"; return; }
    sleep 0.1
  done
  kill "$1" 2> /dev/null
  wait "$1" 2> /dev/null
  return 124
}
