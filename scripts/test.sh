#!/usr/bin/env bash
# Builds the Release configuration and runs every test (unit, black-box,
# perft suite, bench signature). The README's test command; CI runs it too.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j 4
ctest --test-dir build --output-on-failure
