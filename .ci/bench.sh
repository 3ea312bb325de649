#!/usr/bin/env bash
# Keeps the benchmarks from rotting and guards the speed: builds cardlift
# and the benchmark tools in Release, runs bench/run.sh once on a small
# input (no timing asserted), then counts the instructions per output line
# on the mix with bench/callgrind.sh, which does not depend on how busy the
# machine is, and fails when they exceed the budget.
set -euo pipefail
cd "$(dirname "$0")/.."

# Instructions per output line on the mix (bench/callgrind.sh, 20,000
# cards, GCC 12 on Debian 12, hardened release build: 460) that a change
# may not exceed.
budget=465

. .ci/lib.sh
install_missing cmake make g++ libbenchmark-dev time valgrind

build=build/ci-bench
echo "== release build of cardlift and the benchmarks"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCARDLIFT_BUILD_TESTS=OFF -DCARDLIFT_WERROR=ON
cmake --build "$build" -j2 --target cardlift cardgen cardfloor card_benchmarks

echo "== microbenchmarks, once each"
"$build/bench/card_benchmarks" --benchmark_min_time=0.01

# With valgrind installed, run.sh ends with the instructions per line on
# the mix, which the budget is held against.
echo "== cardlift against the floor; instructions per line on the mix (budget $budget)"
report=$(ROUNDS=1 CARDLIFT_BIN_DIR="$build" BENCH_BIN_DIR="$build/bench" bench/run.sh 20000)
echo "$report"
mix=$(echo "$report" | sed -n 's/^callgrind_instructions_per_line=\([0-9]*\) .*$/\1/p')
if [ -z "$mix" ] || [ "$mix" -gt "$budget" ]; then
  echo "the mix takes ${mix:-an unknown number of} instructions per line, more than $budget" >&2
  exit 1
fi
