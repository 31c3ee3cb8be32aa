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
  # Seeds: the target's own (fuzz/seeds/<target>/), else the assembled examples.
  if [ -d "fuzz/seeds/$name" ]; then
    cp fuzz/seeds/"$name"/* "$corpus/"
  else
    for seed in "$BUILD"/examples/*/index.mcb; do
      [ -f "$seed" ] && cp "$seed" "$corpus/seed-$(basename "$(dirname "$seed")").mcb"
    done
  fi
  echo "fuzzing $name for $SECONDS_EACH s"
  # Crash and slow-unit files go beside the corpus, not into the source tree.
  # The corpus kept in the repository (tools/fuzz-long.sh) is read, not written.
  kept=fuzz/corpus/$name
  [ -d "$kept" ] || kept=
  "$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -malloc_limit_mb=4096 -artifact_prefix="$BUILD/fuzz/" "$corpus" $kept
done
