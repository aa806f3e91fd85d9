#!/usr/bin/env bash
# Builds the engine (Release, in build/) and starts it at its console. It
# runs in build/, where it reads Mavo.cfg, writes its log and finds the
# test suite perftsuite.epd; the caller's shell stays where it was.
# GoogleTest is not needed: without it the tests are left out of the build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/need-packages.sh
need_packages cmake make g++
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMAVO_REQUIRE_GTEST=OFF
cmake --build build -j 2 --target mavo
cd build
exec ./mavo
