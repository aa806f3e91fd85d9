#!/usr/bin/env bash
# Builds the program (Release) in build/, or in the folder given, and makes
# its Linux packages with CPack: <folder>/packages/mavo_<version>_<arch>.deb
# and mavo-<version>-Linux.tar.gz, each with a .sha256 beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/need-packages.sh
# dpkg-shlibdeps finds the .deb's dependencies; CPack needs file for it.
need_packages cmake make g++ dpkg-dev file
out=${1:-build}
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --parallel 2 --target mavo
rm -rf "$out/packages"
(cd "$out" && cpack)
