#!/usr/bin/env bash
# hsvconv's tables as a script meets them: written through a pipe to a reader
# that discards them, beside cat writing the same bytes from a file the same
# way. Prints MB/s (10^6 bytes) for each, and the table's time over cat's.
set -eu -o pipefail
hsvconv=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seconds() {  # the command's seconds, its output through a pipe into wc
  local start end
  start=$(date +%s.%N)
  "$@" | wc -c > "$work/bytes"
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}
for direction in rgb hsv; do
  "$hsvconv" table "$direction" > "$work/table"
  cat "$work/table" > /dev/null  # the file in the page cache, for cat
  table=$(seconds "$hsvconv" table "$direction")
  bytes=$(cat "$work/bytes")
  plain=$(seconds cat "$work/table")
  awk -v d="$direction" -v b="$bytes" -v t="$table" -v c="$plain" 'BEGIN {
    printf "hsvconv table %s through a pipe: %d bytes in %.2f s, %.0f MB/s; cat of the same: %.2f s, %.0f MB/s; %.1f times cat\n",
      d, b, t, b / t / 1e6, c, b / c / 1e6, t / c }'
done
