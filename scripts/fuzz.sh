#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS:
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Each run starts from the target's corpus in tests/fuzz/corpus; what it
# finds new goes to build-fuzz/corpus, and an input that crashes or hangs to
# build-fuzz/artifacts (copy it into the corpus once fixed: ./test.sh replays it).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(day_file code_table ex_rights settings examples sector_library list_file
           method_entry markup_text package csv vipdoc tail_cache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DBKQY_FUZZ=ON -DBKQY_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"
mkdir -p build-fuzz/artifacts
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  echo "-- fuzz_$t (${seconds} s)"
  log="build-fuzz/fuzz_$t.log"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/artifacts/$t-" -print_final_stats=1 \
      "build-fuzz/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$t failed: the input is in build-fuzz/artifacts"
    exit 1
  fi
  grep -E "^#[0-9]+ +DONE|^stat::number_of_executed_units|^stat::peak_rss_mb" "$log" || true
done
