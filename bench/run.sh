#!/usr/bin/env bash
# bench/run.sh COUNT: times cardlift against the I/O floor.
#
# Generates COUNT cards once (bench/cardgen), converts them once as a
# warm-up, then runs cardlift and the floor (bench/cardfloor: reads the
# same cards, writes cardlift's own transaction lines with one write call
# per line and converts nothing) one after the other for ROUNDS rounds.
# Prints for each program the median wall time, the median user+system CPU
# time, the peak resident memory over the rounds and the median user CPU
# time per output line; then the medians of the per-round ratios of CPU
# time ("ratio_vs_floor=X.XX") and of user time ("user_ratio_vs_floor"),
# and of the difference of user time per output line ("user_gap_per_line":
# each round's pair runs one after the other, so a machine that slows down
# or speeds up between rounds moves both), with the least and the greatest
# of those differences ("user_gap_range"), which show how far one round
# can be trusted;
# and, when valgrind is installed, cardlift's instructions per output line
# on 20,000 cards (bench/callgrind.sh), which unlike the times do not
# depend on how busy the machine is.
#
# The ratio depends on what one write(2) costs on the machine: both
# programs make one per line, so the cheaper the call, the more the user
# time of the conversion weighs.
#
# Environment (relative folders are taken from the repository root):
#   CARDLIFT_BIN_DIR  folder of the cardlift binary (default: build/release)
#   BENCH_BIN_DIR     folder of cardgen and cardfloor
#                     (default: $CARDLIFT_BIN_DIR/bench)
#   ROUNDS            timed rounds per program (default: 5)
#   SEED              seed of the card generator (default: 1)
#   BENCH_TMPDIR      where cards and outputs go (default: /dev/shm when it
#                     exists, so that the files live in memory; else
#                     $TMPDIR or /tmp); removed afterwards
#
# Times come from GNU time (/usr/bin/time); without it bash's own `time`
# is used and memory is not measured.
set -euo pipefail

usage() {
  echo "usage: [ROUNDS=n] [CARDLIFT_BIN_DIR=dir] [BENCH_BIN_DIR=dir] $0 COUNT" >&2
  exit 2
}
[ $# -eq 1 ] || usage
count=$1
[[ $count =~ ^[1-9][0-9]*$ ]] || usage
rounds=${ROUNDS:-5}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage
seed=${SEED:-1}

root=$(cd "$(dirname "$0")/.." && pwd)
absolute() { case $1 in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }
bin_dir=$(absolute "${CARDLIFT_BIN_DIR:-build/release}")
tool_dir=$(absolute "${BENCH_BIN_DIR:-$bin_dir/bench}")
cardlift=$bin_dir/cardlift
cardgen=$tool_dir/cardgen
cardfloor=$tool_dir/cardfloor
for program in "$cardlift" "$cardgen" "$cardfloor"; do
  if [ ! -x "$program" ]; then
    echo "$0: $program not found; build it first (see .ci/bench.sh)" >&2
    exit 1
  fi
done

if [ -n "${BENCH_TMPDIR:-}" ]; then
  parent=$BENCH_TMPDIR
elif [ -d /dev/shm ] && [ -w /dev/shm ]; then
  parent=/dev/shm
else
  parent=${TMPDIR:-/tmp}
fi
work=$(mktemp -d "$parent/cardlift-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

gnu_time=/usr/bin/time
[ -x "$gnu_time" ] || gnu_time=

# measure NAME COMMAND...: runs the command once, appends
# "wall user system maxrss_kib" (maxrss "-" when unknown) to $work/NAME.times.
measure() {
  local name=$1
  shift
  local status=0
  if [ -n "$gnu_time" ]; then
    "$gnu_time" -f '%e %U %S %M' -o "$work/time.txt" "$@" >"$work/console.txt" 2>&1 || status=$?
  else
    local TIMEFORMAT='%3R %3U %3S -'
    { time "$@" >"$work/console.txt" 2>&1 || status=$?; } 2>"$work/time.txt"
  fi
  if [ "$status" -ne 0 ]; then
    echo "$0: $name exited with status $status:" >&2
    cat "$work/console.txt" >&2
    exit 1
  fi
  tail -n 1 "$work/time.txt" >>"$work/$name.times"
}

run_cardlift() { measure cardlift "$cardlift" "$work/cards.txt" "$work/cardlift.out" "$work/cardlift.log"; }
run_floor() { measure floor "$cardfloor" "$work/cards.txt" "$work/lines.txt" "$work/floor.out"; }

"$cardgen" "$count" "$seed" >"$work/cards.txt"

# Warm-up: also gives the transaction lines the floor writes.
run_cardlift
grep -E '^(Read|Errors|Wrote):' "$work/console.txt" | cut -f1,2 | tr '\t' ' '
mv "$work/cardlift.out" "$work/lines.txt"
run_floor
cmp -s "$work/lines.txt" "$work/floor.out" || {
  echo "$0: the floor did not write cardlift's lines" >&2
  exit 1
}
rm -f "$work/cardlift.times" "$work/floor.times"

for ((round = 1; round <= rounds; round++)); do
  run_cardlift
  run_floor
done

# The median of the first n values (sorted in place), for the awk programs
# below.
awk_median='
  function median(values, n,    i, j, t) {
    for (i = 2; i <= n; i++)
      for (j = i; j > 1 && values[j - 1] > values[j]; j--) {
        t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
      }
    return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
  }'

# summary NAME: the medians of wall and CPU time and the peak memory.
summary() {
  awk -v name="$1" "$awk_median"'
    {
      wall[NR] = $1; user[NR] = $2; sys[NR] = $3; cpu[NR] = $2 + $3
      if ($4 != "-" && $4 + 0 > peak) peak = $4 + 0
      if ($4 == "-") unknown = 1
    }
    END {
      memory = unknown ? "not measured" : sprintf("%d KiB", peak)
      u = median(user, NR)
      printf "%-9s wall=%.3fs cpu=%.3fs (user=%.3fs sys=%.3fs) peak_rss=%s rounds=%d user_per_line=%.0fns\n",
        name ":", median(wall, NR), median(cpu, NR), u, median(sys, NR), memory, NR, u * 1e9 / lines
    }' lines="$lines" "$work/$1.times"
}

lines=$(wc -l <"$work/lines.txt")
echo "cards=$count lines=$lines rounds=$rounds dir=$parent"
summary cardlift
summary floor
# The per-round ratios of cardlift's times to the floor's, CPU and user.
paste -d ' ' "$work/cardlift.times" "$work/floor.times" | awk "$awk_median"'
  {
    if ($6 + $7 > 0) cpu[++n] = ($2 + $3) / ($6 + $7)
    if ($6 > 0) user[++m] = $2 / $6
    gap[++g] = ($2 - $6) * 1e9 / lines
    if (g == 1 || gap[g] < least) least = gap[g]
    if (g == 1 || gap[g] > most) most = gap[g]
  }
  END {
    print n ? sprintf("ratio_vs_floor=%.2f", median(cpu, n)) : "ratio_vs_floor=n/a"
    print m ? sprintf("user_ratio_vs_floor=%.2f", median(user, m)) : "user_ratio_vs_floor=n/a"
    printf "user_gap_per_line=%.0fns\n", median(gap, g)
    printf "user_gap_range=%.0fns..%.0fns\n", least, most
  }' lines="$lines"
if command -v valgrind >/dev/null; then
  CARDLIFT_BIN_DIR=$bin_dir BENCH_BIN_DIR=$tool_dir ONLY=mix SEED=$seed "$root/bench/callgrind.sh" 20000 |
    awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^instructions_per_line=/) print "callgrind_" $i " (20000 cards)" }'
fi
