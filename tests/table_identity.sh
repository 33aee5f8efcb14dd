#!/usr/bin/env bash
# Checks that one build of hsvconv writes exactly the recorded tables.
# usage: table_identity.sh DIGESTS REFERENCE RUNNER...
#   DIGESTS    file of "sha256  rgb|hsv" lines, the tables as recorded
#   REFERENCE  a host hsvconv, used only to show the first differing line
#   RUNNER     the command that runs the hsvconv under test (an emulator and
#              a path, or just a path)
# A missing build is skipped (status 77) unless CI is set.
set -u -o pipefail
digests=$1 reference=$2
shift 2
binary=${!#}

# A runner's program need only exist (node runs a script); a lone one must run.
if { [ $# -gt 1 ] && [ ! -f "$binary" ]; } || { [ $# -eq 1 ] && [ ! -x "$binary" ]; }; then
  echo "no build at $binary (make test builds it)"
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi
if [ $# -gt 1 ] && ! command -v "$1" >/dev/null; then
  echo "$1 is not installed (make test installs it)"
  [ "${CI:-}" = true ] && exit 1
  exit 77
fi

status=0
for direction in rgb hsv; do
  expected=$(awk -v d="$direction" '$2 == d { print $1 }' "$digests")
  actual=$("$@" table "$direction" | sha256sum | cut -d' ' -f1)
  if [ "$actual" = "$expected" ]; then
    echo "table $direction: identical ($actual)"
    continue
  fi
  status=1
  echo "table $direction: DIFFERS (sha256 $actual, recorded $expected)"
  first=$(cmp <("$@" table "$direction") <("$reference" table "$direction") 2>/dev/null | awk '{ print $NF }')
  if [ -n "$first" ]; then
    echo "  first difference on line $first:"
    echo "    this build: $("$@" table "$direction" | sed -n "${first}{p;q}")"
    echo "    reference:  $("$reference" table "$direction" | sed -n "${first}{p;q}")"
  fi
done
exit $status
