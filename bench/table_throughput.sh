#!/usr/bin/env bash
# hsvconv's tables as a script meets them: written through a pipe to a reader
# that discards them. Prints MB/s (10^6 bytes) for each direction.
set -eu -o pipefail
hsvconv=$1
for direction in rgb hsv; do
  start=$(date +%s.%N)
  bytes=$("$hsvconv" table "$direction" | wc -c)
  end=$(date +%s.%N)
  awk -v d="$direction" -v b="$bytes" -v s="$start" -v e="$end" \
    'BEGIN { printf "hsvconv table %s through a pipe: %d bytes in %.2f s, %.0f MB/s\n", d, b, e - s, b / (e - s) / 1e6 }'
done
