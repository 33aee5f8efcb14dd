# Sourced by the shell tests: skip (status 77, which ctest reports as
# skipped; a failure under CI, where nothing may be skipped), check and
# the count of its failures, waiting for what a test expects, screenshots
# compared and taken once settled, and a virtual X display.
skip() {
  echo "$1"
  [ "${CI:-}" = true ] && exit 1
  exit 77
}

failures=0
check() {  # description, then a command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}

# Waits for a command to come to succeed, trying it every twentieth of a
# second, for at most twenty seconds: a deadline that only a machine far
# too busy reaches. Nothing waits a fixed time for a program to be done.
eventually() {  # a command that must come to succeed
  local deadline=$((SECONDS + 20))
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# The number of pixels in which two screenshots differ; 999999 where they
# cannot be compared (their sizes differ, say).
differ() {
  local n
  [ "$(identify -format %wx%h "$1" 2>&1)" = "$(identify -format %wx%h "$2" 2>&1)" ] || { echo 999999; return; }
  n=$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)
  [[ "$n" =~ ^[0-9]+$ ]] && echo "$n" || echo 999999
}
# A screenshot of an X window, or of a Wayland output's area (wl:GEOMETRY,
# as grim takes it, in the output's own pixels).
shoot() {  # window, file
  case $1 in
    wl:*) grim -g "${1#wl:}" "$2" ;;
    *) import -window "$1" "$2" ;;
  esac 2> /dev/null
}
# A screenshot of a window once what it shows has settled: three taken a
# tenth of a second apart are the same and, given an earlier one, differ
# from it (the change a key or a click makes has come). At most 10 s; the
# last one taken where it does not settle. Works in $work.
settled() {  # window, file, [the screenshot from before]
  local before="$work/settling.png" same=0 deadline=$((SECONDS + 10))
  shoot "$1" "$before"
  while [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
    shoot "$1" "$2"
    if [ "$(differ "$before" "$2")" = 0 ] && { [ -z "${3:-}" ] || [ "$(differ "$2" "$3")" != 0 ]; }; then
      same=$((same + 1))
      [ "$same" -ge 2 ] && return 0
    else
      same=0
    fi
    cp "$2" "$before"
  done
  return 1
}
# A virtual X display of `size` (WxHxDEPTH) in $DISPLAY, its process in
# $xvfb, for the caller's trap to end; `folder` keeps its number.
start_xvfb() {  # folder, size
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset 3> "$1/display" > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$1/display")"
}
# A headless Wayland compositor (sway, with outputs of `size` at scale 1)
# whose socket is $WAYLAND_DISPLAY and whose IPC is $SWAYSOCK, its process in
# $sway, in `folder` (for the caller's trap to remove). sway will not run as
# root: there it runs as nobody, the folder made that user's.
start_sway() {  # folder, size
  local as_user=()
  if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$1"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  printf 'output HEADLESS-1 resolution %s scale 1\ndefault_border normal\n' "$2" > "$1/config"
  export XDG_RUNTIME_DIR=$1
  unset WAYLAND_DISPLAY SWAYSOCK
  (cd "$1" && HOME=$1 WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    exec "${as_user[@]}" sway -c "$1/config" > "$1/sway.log" 2>&1) &
  sway=$!
  eventually test -S "$1/wayland-1" || return 1
  export WAYLAND_DISPLAY=wayland-1 SWAYSOCK
  SWAYSOCK=$(ls "$1"/sway-ipc.*.sock)
}
# rgbhsv's window on sway: its title, then its content's place on the
# output, "TITLE|x,y wxh" in the compositor's units.
window_of() {
  swaymsg -t get_tree | jq -r '.. | objects | select(.app_id? == "rgbhsv") | "\(.name)|\(.rect.x + .window_rect.x),\(.rect.y + .window_rect.y) \(.window_rect.width)x\(.window_rect.height)"'
}
