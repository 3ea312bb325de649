#!/usr/bin/env bash
# bench/callgrind.sh [COUNT]: instructions per output line, by card type.
#
# Generates COUNT cards (default 20000; bench/cardgen, seed $SEED or 1)
# and runs cardlift under valgrind's callgrind on the whole mix and on the
# cards of each type alone (types 4 to 6, which are copied, together).
# Prints one line per input: "NAME lines=L instructions_per_line=I", where
# I is the instruction count net of a run on an empty input (the start-up
# and the summary) divided by the output lines. Unlike CPU times these
# counts do not depend on how busy the machine is.
#
# Environment: CARDLIFT_BIN_DIR and BENCH_BIN_DIR as for bench/run.sh;
# ONLY=mix prints the mix alone.
set -euo pipefail

count=${1:-20000}
[[ $count =~ ^[1-9][0-9]*$ ]] || {
  echo "usage: [ONLY=mix] $0 [COUNT]" >&2
  exit 2
}
seed=${SEED:-1}
command -v valgrind >/dev/null || {
  echo "$0: valgrind not found" >&2
  exit 1
}

root=$(cd "$(dirname "$0")/.." && pwd)
absolute() { case $1 in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }
bin_dir=$(absolute "${CARDLIFT_BIN_DIR:-build/release}")
tool_dir=$(absolute "${BENCH_BIN_DIR:-$bin_dir/bench}")
for program in "$bin_dir/cardlift" "$tool_dir/cardgen"; do
  [ -x "$program" ] || {
    echo "$0: $program not found; build it first" >&2
    exit 1
  }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-callgrind.XXXXXX")
trap 'rm -rf "$work"' EXIT

# instructions INPUT: the instructions of one run of cardlift on INPUT.
instructions() {
  (cd "$work" && valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$bin_dir/cardlift" "$1" "$work/out.txt" "$work/log.txt" >/dev/null 2>"$work/valgrind.txt")
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/valgrind.txt"
}

"$tool_dir/cardgen" "$count" "$seed" >"$work/mix.txt"
: >"$work/empty.txt"
startup=$(instructions "$work/empty.txt")

# report NAME INPUT
report() {
  local total lines
  total=$(instructions "$2")
  lines=$(wc -l <"$work/out.txt")
  awk -v name="$1" -v total="$total" -v startup="$startup" -v lines="$lines" 'BEGIN {
    per_line = lines > 0 ? (total - startup) / lines : 0
    printf "%-7s lines=%d instructions_per_line=%.0f\n", name, lines, per_line }'
}

report mix "$work/mix.txt"
[ "${ONLY:-}" = mix ] && exit 0
for type in 1 2 3 7 8 9; do
  grep "^$type" "$work/mix.txt" >"$work/type$type.txt" || true
  report "type$type" "$work/type$type.txt"
done
grep '^[456]' "$work/mix.txt" >"$work/copied.txt" || true
report copied "$work/copied.txt"
