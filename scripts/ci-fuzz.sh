#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) in build-fuzz/ and runs
# each for FUZZ_SECONDS (default 60) from the seeds in tests/fuzz/corpus.
# Inputs found on the way are kept in build-fuzz/corpus; a crash, leak or
# time-out fails the run and leaves its input in build-fuzz/artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
targets=(fen movetext config testsuite console uci)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DMAVO_FUZZ=ON -DMAVO_TESTS=OFF >/dev/null
cmake --build build-fuzz --parallel 2 --target "${targets[@]/#/fuzz_}"
mkdir -p build-fuzz/artifacts
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  log=build-fuzz/fuzz_$t.log
  # The targets change into a temporary directory: every path is absolute.
  if ! "build-fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$root/build-fuzz/artifacts/$t-" \
      "$root/build-fuzz/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t FAILED (input in build-fuzz/artifacts)"
    exit 1
  fi
  edges=$(sed -n 's/.*(\([0-9]*\) inline 8-bit counters).*/\1/p' "$log" | head -n 1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  echo "fuzz_$t: ${last#*cov: } (of $edges edges)"
done
