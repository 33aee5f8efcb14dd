# Sourced by the shell tests: skip (status 77, which ctest reports as
# skipped; a failure under CI, where nothing may be skipped), check and
# the count of its failures, and a virtual X display.
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

# A virtual X display of `size` (WxHxDEPTH) in $DISPLAY, its process in
# $xvfb, for the caller's trap to end; `folder` keeps its number.
start_xvfb() {  # folder, size
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset 3> "$1/display" > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$1/display")"
}
