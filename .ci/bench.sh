#!/usr/bin/env bash
# Keeps the benchmarks from rotting: builds cardlift and the benchmark
# tools in Release and runs bench/run.sh once on a small input. Asserts
# no timing; fails only when something does not build or run.
set -euo pipefail
cd "$(dirname "$0")/.."

. .ci/lib.sh
install_missing cmake make g++ libbenchmark-dev time

build=build/ci-bench
echo "== release build of cardlift and the benchmarks"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCARDLIFT_BUILD_TESTS=OFF -DCARDLIFT_WERROR=ON
cmake --build "$build" -j2 --target cardlift cardgen cardfloor card_benchmarks

echo "== microbenchmarks, once each"
"$build/bench/card_benchmarks" --benchmark_min_time=0.01

echo "== cardlift against the floor"
ROUNDS=1 CARDLIFT_BIN_DIR="$build" BENCH_BIN_DIR="$build/bench" bench/run.sh 20000
