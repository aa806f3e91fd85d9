#!/usr/bin/env bash
# Builds the Release configuration and runs every test (unit, black-box,
# perft suite, bench signature). The README's test command; CI runs it too.
# Missing packages are installed when run as root, named otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/need-packages.sh
need_packages cmake make g++ libgtest-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMAVO_REQUIRE_GTEST=ON
cmake --build build -j 4
ctest --test-dir build --output-on-failure
