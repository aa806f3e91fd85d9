#!/usr/bin/env bash
# Checks the engine as it ships: builds it profile-guided in build/, as
# scripts/play.sh does, and runs against it the golden sessions and the
# shipped perft suite (the black-box tests of build-test/, the plain build
# of scripts/test.sh), the perft node counts of tools/perfcompare and the
# bench signature, forwards and backwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMAVO_PGO=ON -DMAVO_REQUIRE_GTEST=OFF >/dev/null
cmake --build build -j 2 --target mavo bench
[ -f build/pgo/profile.stamp ] || { echo "build/ is not profile-guided"; exit 1; }
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release -DMAVO_PGO=OFF -DMAVO_REQUIRE_GTEST=ON >/dev/null
cmake --build build-test -j 2 --target blackbox_tests
MAVO_ENGINE=$root/build/mavo build-test/tests/blackbox_tests --gtest_brief=1 \
  --gtest_filter='Cases/Golden.*:ConsoleTestSuite.*'
tools/perfcompare/perfcompare.sh --quick --build-dir build --no-build --stockfish none
signature=$(grep -E '^[0-9]+$' tools/bench/signature.txt | head -n 1)
for order in "" reverse; do
  total=$(build/tools/bench/bench $order | sed -n 's/^Total: \([0-9]*\) nodes .*/\1/p')
  if [ "$total" != "$signature" ]; then
    echo "bench ${order:-forwards}: $total nodes, signature $signature"
    exit 1
  fi
  echo "bench ${order:-forwards}: signature $signature"
done
