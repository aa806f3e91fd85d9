#!/usr/bin/env bash
# Cross-builds mavo.exe (Release, MinGW-w64) in build-windows/, or in the
# folder given, and packs it with CPack: <folder>/packages/mavo-<version>-win64.zip
# holding mavo-<version>-win64/mavo.exe, with a .sha256 beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/need-packages.sh
need_packages cmake make g++-mingw-w64-x86-64
out=${1:-build-windows}
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$out" --parallel 2 --target mavo
rm -rf "$out/packages"
(cd "$out" && cpack)
