#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them on the full-size demo market,
# created in build-release/bench-market when absent. Extra arguments go to
# Google Benchmark (e.g. --benchmark_filter=Scan).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only what the benchmarks run: the tests are not built at -O3 here.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --target bkqy_bench bkqy-cli
market=build-release/bench-market
if [ ! -f "$market/MKDAT/MKCODE.DAT" ]; then
  build-release/src/cli/bkqy-cli demo --data "$market" --end 20261204
fi
BKQY_BENCH_MARKET="$market" build-release/bench/bkqy_bench "$@"
