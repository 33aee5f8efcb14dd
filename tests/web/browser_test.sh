#!/usr/bin/env bash
# The page (make web) in a real headless Chromium: the shared dialog
# scenarios, driven with real key presses, must report line for line what
# scenario_host reports. puppeteer-core, which drives the browser, is
# installed at test time into the build folder, never into the repository.
# usage: browser_test.sh PAGE SCENARIO_HOST TOOLS_DIR
set -u -o pipefail
page=$(readlink -f "$1")
host=$(readlink -f "$2")
tools=$3
here=$(dirname "$(readlink -f "$0")")
. "$here/../test_lib.sh"
[ -f "$page" ] || skip "no page at $page (make web builds it)"
command -v node >/dev/null && command -v npm >/dev/null || skip "node or npm is missing (make test installs them)"
[ -x /usr/bin/chromium ] || skip "chromium is missing (make test installs it)"
. "$here/puppeteer.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$host" --scripts > "$work/scenarios"
"$host" > "$work/expected"
"$host" --random 2026 300 > "$work/session"
NODE_PATH="$tools/node_modules" node "$here/browser_test.js" "$page" "$work/scenarios" "$work/session" \
  "$here/../key_session.trace" > "$work/page" 2> "$work/log"
status=$?
sed 's/^/  /' "$work/log"
if ! diff "$work/expected" "$work/page"; then
  echo "FAIL - the page disagrees with the platform layer"
  exit 1
fi
sed 's/^/  /' "$work/page"
[ "$status" = 0 ] || { echo "FAIL - the browser test failed"; exit 1; }
echo "ok   - the page agrees with the platform layer, line for line"
