#!/bin/sh
# Long fuzzing runs: each target of a FUZZ=ON build runs for the given time
# from its corpus in fuzz/corpus/<target>, which is then minimised (libFuzzer
# -merge) so the repository keeps only the inputs that add coverage. Findings
# (crash-*, leak-*, timeout-* files) go to the build tree; the last lines of
# each run's statistics are printed.
#   [RSS_MB=n] [MAX_LEN=n] [TIMEOUT=s] tools/fuzz-long.sh [BUILD] [SECONDS_EACH] [TARGET...]
set -e
BUILD=${1:-build-asan}
SECONDS_EACH=${2:-3600}
[ $# -ge 2 ] && shift 2 || shift $#
cd "$(dirname "$0")/.."
targets="$*"
if [ -z "$targets" ]; then
  for t in "$BUILD"/fuzz/fuzz_*; do
    [ -f "$t" ] && [ -x "$t" ] && targets="$targets $(basename "$t")"
  done
fi
status=0
for name in $targets; do
  t="$BUILD/fuzz/$name"
  corpus="fuzz/corpus/$name"
  work="$BUILD/fuzz/long-$name"
  log="$BUILD/fuzz/long-$name.log"
  mkdir -p "$corpus" "$work"
  # A new corpus starts from the target's seeds, or the assembled examples.
  if [ -z "$(ls -A "$corpus")" ]; then
    if [ -d "fuzz/seeds/$name" ]; then
      cp fuzz/seeds/"$name"/* "$work"/
    else
      for seed in "$BUILD"/examples/*/index.mcb build/examples/*/index.mcb; do
        [ -f "$seed" ] && cp "$seed" "$work/seed-$(basename "$(dirname "$seed")").mcb"
      done
    fi
  fi
  echo "fuzzing $name for $SECONDS_EACH s (log: $log)"
  # New inputs go to the work directory; the kept corpus is read as seeds.
  if ! "$t" -max_total_time="$SECONDS_EACH" -rss_limit_mb="${RSS_MB:-4096}" -malloc_limit_mb="${RSS_MB:-4096}" \
      -timeout="${TIMEOUT:-30}" -max_len="${MAX_LEN:-4096}" -len_control=0 -print_final_stats=1 -artifact_prefix="$BUILD/fuzz/" "$work" "$corpus" >"$log" 2>&1; then
    echo "  $name: FINDING, see $log"
    status=1
  fi
  grep -E "^#[0-9]+.*(DONE|pulse)|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" "$log" | tail -4 | sed 's/^/  /'
  fresh=$(mktemp -d)
  "$t" -merge=1 -rss_limit_mb="${RSS_MB:-4096}" -malloc_limit_mb="${RSS_MB:-4096}" -timeout="${TIMEOUT:-30}" "$fresh" "$corpus" "$work" >>"$log" 2>&1 || true
  if [ -n "$(ls -A "$fresh")" ]; then
    rm -f "$corpus"/*
    cp "$fresh"/* "$corpus"/
  fi
  rm -rf "$fresh"
  echo "  corpus: $(ls "$corpus" | wc -l) inputs in $corpus"
done
exit $status
