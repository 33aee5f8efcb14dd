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
# cannot be compared.
differ() {
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)
  [[ "$n" =~ ^[0-9]+$ ]] && echo "$n" || echo 999999
}
# A screenshot of a window once what it shows has settled: three taken a
# tenth of a second apart are the same and, given an earlier one, differ
# from it (the change a key or a click makes has come). At most 10 s; the
# last one taken where it does not settle. Works in $work.
settled() {  # window, file, [the screenshot from before]
  local before="$work/settling.png" same=0 deadline=$((SECONDS + 10))
  import -window "$1" "$before" 2> /dev/null
  while [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
    import -window "$1" "$2" 2> /dev/null
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
