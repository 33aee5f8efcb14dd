#!/usr/bin/env bash
# make bench's part for the page: bench/page_bench.js in headless Chromium,
# with puppeteer-core from the browser test's tools folder.
# usage: page_bench.sh WEB_FOLDER
set -eu -o pipefail
folder=$(readlink -f "$1")
tools="$folder/test-tools"
here=$(dirname "$(readlink -f "$0")")
. "$here/../tests/web/puppeteer.sh"
echo "The page, in headless Chromium beside a static page of the same text:"
NODE_PATH="$tools/node_modules" node "$here/page_bench.js" "$folder"
