#!/usr/bin/env bash
# tools/ensure-packages while another package manager holds dpkg's lock:
# it says it waits, goes on once the lock is free, and gives up with a
# clear message only when the wait runs out. apt-get is a stand-in that
# notes how it was called, so nothing is installed.
# usage: ensure_packages_test.sh TOOLS_DIR
set -u -o pipefail
ensure=$(readlink -f "$1")/ensure-packages
. "$(dirname "$0")/test_lib.sh"
[ "$(id -u)" = 0 ] || skip "only root takes dpkg's lock"
command -v perl > /dev/null || skip "perl is missing"

work=$(mktemp -d)
trap 'kill $holder 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\necho "$*" >> "%s/apt-calls"\n' "$work" > "$work/bin/apt-get"
chmod +x "$work/bin/apt-get"


# Holds dpkg's frontend lock, as apt does (an fcntl write lock), for $1 s.
hold() {
  perl -e 'use Fcntl; open(my $f, ">>", "/var/lib/dpkg/lock-frontend") or die $!;
           my $lock = pack("s s x4 q q i x4", F_WRLCK, 0, 0, 0, 0);
           fcntl($f, F_SETLKW, $lock) or die $!;
           print "held\n"; $| = 1; sleep $ARGV[0]' "$1" > "$work/held" &
  holder=$!
  for _ in $(seq 50); do [ -s "$work/held" ] && return; sleep 0.1; done
}

missing=rgbhsv-test-package-that-is-not-there
hold 3
PATH="$work/bin:$PATH" RGBHSV_APT_WAIT=30 "$ensure" "$missing" > "$work/out" 2>&1
status=$?
check "while the lock is held it says it waits" grep -q "^Waiting for another package manager" "$work/out"
check "and installs once it is free (status $status)" \
  bash -c "[ $status = 0 ] && grep -q 'install .*$missing' '$work/apt-calls'"
check "apt-get itself waits for a lock taken meanwhile" grep -q "DPkg::Lock::Timeout=30" "$work/apt-calls"
wait "$holder"

rm -f "$work/apt-calls" "$work/held"
hold 10
PATH="$work/bin:$PATH" RGBHSV_APT_WAIT=1 "$ensure" "$missing" > "$work/out" 2>&1
status=$?
check "a lock held past the wait ends with status 1 (it ended with $status)" [ "$status" = 1 ]
check "and says why" grep -q "has held its lock for 1 s" "$work/out"
check "without calling apt-get" test ! -e "$work/apt-calls"
kill "$holder" 2>/dev/null

echo "$failures failed"
[ "$failures" = 0 ]
