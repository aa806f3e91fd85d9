#!/usr/bin/env bash
# Builds everything plainly (Release without the profile, in build-test/)
# and runs every test (unit, black-box, perft suite, bench signature). The
# README's test command; CI runs it too. Missing packages are installed when
# run as root, named otherwise.
# The plain build makes an edited file cost one compile and a link; the
# profile-guided build that ships (scripts/play.sh, build/) recompiles
# everything after any change, and CI checks it on its own
# (scripts/ci-guided.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/need-packages.sh
need_packages cmake make g++ libgtest-dev
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release -DMAVO_PGO=OFF -DMAVO_REQUIRE_GTEST=ON
cmake --build build-test -j 4
ctest --test-dir build-test --output-on-failure --parallel 2
