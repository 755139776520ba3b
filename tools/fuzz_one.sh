#!/usr/bin/env bash
# Runs one libFuzzer target for TUNDRIX_FUZZ_SECONDS on a fresh corpus made from its seeds in
# tests/fuzz/seeds, in the folder TUNDRIX_FUZZ_SCRATCH; prints its last line, or its log when it crashes.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: fuzz_one.sh <fuzz target>}
name=$(basename "$target")
corpus="$TUNDRIX_FUZZ_SCRATCH/corpus-$name"
log="$TUNDRIX_FUZZ_SCRATCH/$name.log"
mkdir -p "$corpus"
seeds="tests/fuzz/seeds/${name#fuzz_}"
[ -d "$seeds" ] && cp -r "$seeds/." "$corpus/"
if ! "$target" -max_total_time="$TUNDRIX_FUZZ_SECONDS" -print_final_stats=0 "$corpus" 2>"$log"; then
  tail -n 60 "$log"
  echo "$name found a crash"
  exit 255 # xargs stops at once
fi
echo "-- $name for ${TUNDRIX_FUZZ_SECONDS}s: $(tail -n 1 "$log")"
