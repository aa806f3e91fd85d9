#!/usr/bin/env bash
# Makes the Linux packages in build-package/ (scripts/package.sh), checks the
# .deb's control fields and contents, unpacks it and the .tar.gz into scratch
# folders (nothing is installed on the system) and runs a short UCI session
# with each unpacked mavo; then gnome-chess and xboard (through polyglot),
# headless under Xvfb, start the unpacked engine and get a move from it.
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

# The GUIs, headless under Xvfb, with the unpacked engine: each starts it,
# and is stopped once the engine's first move as White has arrived.
# wait_for FILE PATTERN PID: until PATTERN shows up in FILE (at most 120 s)
# or the process PID ends; then PID (a timeout, with its group) is ended.
wait_for() {
  for _ in $(seq 120); do
    grep -Eq "$2" "$1" 2>/dev/null && break
    kill -0 "$3" 2>/dev/null || break
    sleep 1
  done
  kill "$3" 2>/dev/null || true
  wait "$3" 2>/dev/null || true
}
move='[a-h][1-8][a-h][1-8][qrbn]?'

# gnome-chess: a game in which Mavo plays White. Its debug output shows the
# UCI traffic.
gui=$scratch/gnome-chess
mkdir -p "$gui/.config/gnome-chess"
printf '[Mavo]\nprotocol=uci\nbinary=mavo\n' >"$gui/.config/gnome-chess/engines.conf"
printf '[Event "?"]\n[White "Mavo"]\n[Black "Human"]\n[Result "*"]\n[X-GNOME-WhiteAI "Mavo"]\n\n*\n' \
  >"$gui/mavo-white.pgn"
(cd "$gui" && export HOME=$gui XDG_CONFIG_HOME=$gui/.config PATH=$scratch/deb/usr/bin:/usr/games:$PATH \
  GSETTINGS_BACKEND=memory G_MESSAGES_DEBUG=all &&
  exec timeout 150 xvfb-run -a gnome-chess mavo-white.pgn) >"$gui/log" 2>&1 &
wait_for "$gui/log" 'Engine moves' $!
grep -oE "Detected AI profile .*|Writing line to engine: '[^']*'|Read from engine: '(uciok|readyok|bestmove [^']*)'|Engine moves .*" \
  "$gui/log" >"$gui/traffic" || true
cat "$gui/traffic"
if ! grep -qx "Detected AI profile Mavo in $scratch/deb/usr/bin/mavo" "$gui/traffic" ||
   ! grep -Eqx "Engine moves $move" "$gui/traffic"; then
  echo "gnome-chess: no move from the unpacked engine"; tail -n 30 "$gui/log"; exit 1
fi
echo "gnome-chess: the unpacked engine played $(sed -n 's/^Engine moves //p' "$gui/traffic")"

# xboard, which attaches a UCI engine through polyglot; -mode MachineWhite
# makes the engine move first, -debug logs the traffic in xboard.debug.
gui=$scratch/xboard
mkdir -p "$gui"
(cd "$gui" && export HOME=$gui PATH=$PATH:/usr/games &&
  exec timeout 150 xvfb-run -a xboard -fUCI -fcp "$scratch/deb/usr/bin/mavo" -fd ~ -ponderNextMove false \
    -mode MachineWhite -debug) >"$gui/log" 2>&1 &
wait_for "$gui/xboard.debug" "<first : move $move\$" $!
grep -E "StartChildProcess|<first : (feature myname|move )" "$gui/xboard.debug" || true
if ! grep -Eq "<first : move $move\$" "$gui/xboard.debug"; then
  echo "xboard: no move from the unpacked engine"; tail -n 30 "$gui/xboard.debug" "$gui/log"; exit 1
fi
echo "xboard: the unpacked engine played $(sed -n 's/.*<first : move //p' "$gui/xboard.debug" | head -n 1)"
