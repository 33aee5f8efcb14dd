#!/usr/bin/env bash
# make bench's part for the page: bench/page_bench.js in headless Chromium,
# with puppeteer-core from the browser test's tools folder.
# usage: page_bench.sh WEB_FOLDER
set -eu -o pipefail
folder=$(readlink -f "$1")
tools="$folder/test-tools"
here=$(dirname "$(readlink -f "$0")")
if [ ! -d "$tools/node_modules/puppeteer-core" ]; then
  mkdir -p "$tools" && (cd "$tools" && npm install --no-audit --no-fund --loglevel=error puppeteer-core@24 > /dev/null)
fi
echo "The page, in headless Chromium beside a static page of the same text:"
NODE_PATH="$tools/node_modules" node "$here/page_bench.js" "$folder"
