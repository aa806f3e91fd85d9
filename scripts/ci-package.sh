#!/usr/bin/env bash
# Makes the Linux packages in build-package/ (scripts/package.sh), checks the
# .deb's control fields and contents, unpacks it and the .tar.gz into scratch
# folders (nothing is installed on the system) and runs a short UCI session
# with each unpacked mavo.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-package
cmake -S . -B $out -DCMAKE_BUILD_TYPE=Release -DMAVO_TESTS=OFF >/dev/null
scripts/package.sh $out
version=$(sed -n 's/.*kVersion = "\([^"]*\)".*/\1/p' src/position/types.h)
deb=$out/packages/mavo_${version}_$(dpkg --print-architecture).deb
tgz=$out/packages/mavo-$version-Linux.tar.gz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package: $*"; exit 1; }

dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = mavo ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the engine says $version"
[ "$(field Maintainer)" = "Mavo developers" ] || fail "Maintainer is '$(field Maintainer)'"
# Only the C and C++ runtimes, as dpkg-shlibdeps finds them.
extra=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -Evx 'libc6|libstdc\+\+6|libgcc-s1' || true)
[ -z "$extra" ] || fail "unexpected dependencies: $extra"
# Exactly one file, the program.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }')
[ "$files" = ./usr/bin/mavo ] || fail "the .deb holds: $files"
files=$(tar tzf "$tgz" | grep -v '/$')
[ "$files" = "mavo-$version-Linux/bin/mavo" ] || fail "the .tar.gz holds: $files"

dpkg-deb -x "$deb" "$scratch/deb"
scripts/check-uci-session.sh "$scratch/deb/usr/bin/mavo"
mkdir "$scratch/tgz"
tar xzf "$tgz" -C "$scratch/tgz"
scripts/check-uci-session.sh "$scratch/tgz/mavo-$version-Linux/bin/mavo"
