#!/usr/bin/env bash
# Runs each fuzz target for a bounded time with AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from a scratch copy of its seeds.
# An input that makes a target fail is kept in build/fuzz-failures/ (the
# script names the file) and shown in hex, so that it can be replayed and
# read from the CI log alone.
#   bash .ci/fuzz.sh [SECONDS]   (default 60 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_card fuzz_card_loop fuzz_implied_decimal

failures=build/fuzz-failures
rm -rf "$failures"
mkdir -p "$failures"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
for target in card card_loop implied_decimal; do
  echo "== fuzz_$target for $seconds s"
  mkdir -p "$scratch/$target"
  cp fuzz/corpus/"$target"/* "$scratch/$target/"
  build/fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$failures/$target-" "$scratch/$target" 2>"$scratch/$target.log" || {
    tail -n 60 "$scratch/$target.log"
    for input in "$failures/$target"-*; do
      [ -e "$input" ] || continue
      echo "== failing input kept in $input ($(wc -c <"$input") bytes); replay it with"
      echo "   build/fuzz/fuzz/fuzz_$target $input"
      od -A d -t x1z -v "$input"
    done
    echo "fuzz_$target found a failure" >&2
    exit 1
  }
  grep -E '^stat::number_of_executed_units|^Done' "$scratch/$target.log" || true
done
