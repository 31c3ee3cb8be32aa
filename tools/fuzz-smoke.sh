#!/bin/sh
# Runs every fuzz target of a FUZZ=ON build for the given number of seconds.
set -e
BUILD=${1:-build-asan}
SECONDS_EACH=${2:-60}
cd "$(dirname "$0")/.."
for t in "$BUILD"/fuzz/fuzz_*; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="$BUILD/fuzz/corpus-$name"
  mkdir -p "$corpus"
  [ -d "$BUILD/fuzz/seeds" ] && cp -n "$BUILD"/fuzz/seeds/*.mcb "$corpus"/ 2>/dev/null || true
  echo "fuzzing $name for $SECONDS_EACH s"
  "$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -malloc_limit_mb=4096 "$corpus"
done
