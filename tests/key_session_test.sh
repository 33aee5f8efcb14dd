#!/usr/bin/env bash
# The platform layer's edit fields against Windows': the seeded random key
# sessions, played on the in-memory screen, must leave the fields, focus and
# selection that the Windows build left after every key (recorded under
# Wine in key_session*.trace; wine_test.sh checks that Wine still does).
# usage: key_session_test.sh SCENARIO_HOST
set -u -o pipefail
host=$1
here=$(dirname "$(readlink -f "$0")")
status=0
for leg in "" terminal; do
  expected="$here/key_session${leg:+_$leg}.trace"
  if diff "$expected" <("$host" --trace "$("$host" --random 2026 300 $leg)"); then
    echo "ok   - the ${leg:-full} key session agrees with Windows after every key"
  else
    echo "FAIL - the ${leg:-full} key session differs from Windows (lines above: < Windows, > platform)"
    status=1
  fi
done
exit $status
