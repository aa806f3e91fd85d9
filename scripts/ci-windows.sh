#!/usr/bin/env bash
# Cross-builds mavo.exe with MinGW-w64 (build-windows/) and runs the
# black-box tests against it under Wine, in a private Wine prefix. The engine
# is started through pipe_host.exe, which gives it a Windows pipe as
# standard input the way a GUI does, so the PeekNamedPipe poll is the one
# that runs. Then the console poll: "analyze" stopped by a typed "stop" in
# a pseudo terminal. Last, the zip of scripts/package-windows.sh, unpacked
# and run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build-windows
cmake -S . -B $out -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build $out --parallel 2
x86_64-w64-mingw32-g++-posix -O2 -static -Wall -Wextra -o $out/pipe_host.exe tests/windows/pipe_host.cpp
# The test programs themselves are Linux programs.
cmake -S . -B $out/host -DCMAKE_BUILD_TYPE=Release -DMAVO_PGO=OFF >/dev/null
cmake --build $out/host --parallel 2 --target blackbox_tests

export WINEPREFIX=$root/$out/wineprefix WINEDEBUG=-all WINEARCH=win64
wineboot -i >/dev/null 2>&1 || true  # the first start sets up the prefix
wineserver -w
trap 'wineserver -k || true' EXIT
export MAVO_ENGINE="wine $root/$out/pipe_host.exe $root/$out/mavo.exe"
# Wine now and then fails a process start or a pipe under load; a test that
# fails is run once more on its own, and only a second failure counts.
if ! $out/host/tests/blackbox_tests --gtest_brief=1 | tee $out/blackbox.txt; then
  failed=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/.]*\).*/\1/p' $out/blackbox.txt | sort -u | paste -sd: -)
  [ -n "$failed" ] || exit 1
  echo "retrying under Wine: $failed"
  $out/host/tests/blackbox_tests --gtest_brief=1 --gtest_filter="$failed"
fi

# The console case: keys typed into a terminal, seen by the key-pressed test.
typed() { sleep 2; printf 'analyze\r'; sleep 2; printf 'stop\r'; sleep 1; printf 'quit\r'; sleep 1; }
typed | timeout 30 script -qec "wine $root/$out/mavo.exe" /dev/null >$out/console.txt
screen=$(sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' $out/console.txt | tr -d '\r ')
if [[ $screen != *Bestline* || $screen != *stop*mavo:quit* ]]; then
  echo "console: analyze was not stopped by a typed stop"; cat -v $out/console.txt | tail -n 20; exit 1
fi
echo "console: analyze stopped by a typed line"

# The zip a Windows user downloads: mavo.exe alone, which plays a short UCI
# session when unpacked, again on a Windows pipe.
scripts/package-windows.sh $out
version=$(sed -n 's/.*kVersion = "\([^"]*\)".*/\1/p' src/position/types.h)
zip=$out/packages/mavo-$version-win64.zip
files=$(cmake -E tar tf "$zip" | grep -v '/$')
if [ "$files" != "mavo-$version-win64/mavo.exe" ]; then echo "the zip holds: $files"; exit 1; fi
rm -rf $out/unzipped && mkdir $out/unzipped
(cd $out/unzipped && cmake -E tar xf "$root/$zip")
scripts/check-uci-session.sh wine "$root/$out/pipe_host.exe" "$root/$out/unzipped/mavo-$version-win64/mavo.exe"
