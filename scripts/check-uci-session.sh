#!/usr/bin/env bash
# check-uci-session.sh ENGINE [ARG...]: a short UCI session with an installed
# engine, the way a GUI opens one: uci, isready, position startpos,
# go movetime 100, then the end of input. Passes when "uciok", "readyok" and
# "bestmove <move>" arrive in that order, each as a line of its own, and the
# program exits 0. The engine runs in a scratch folder, since it reads
# Mavo.cfg from its working directory.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 ENGINE [ARG...]" >&2; exit 2; }
engine=("$@")
# A relative path would not be found from the scratch folder.
[[ ${engine[0]} != */* || ${engine[0]} == /* ]] || engine[0]=$PWD/${engine[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
printf 'uci\nisready\nposition startpos\ngo movetime 100\n' >"$work/input"
(cd "$work" && timeout 60 "${engine[@]}" <input >output 2>&1) || status=$?
tr -d '\r' <"$work/output" >"$work/lines"  # Windows line ends under Wine

first() { grep -nEx "$1" "$work/lines" | head -n 1 | cut -d: -f1 || true; }
uciok=$(first uciok)
readyok=$(first readyok)
move='[a-h][1-8][a-h][1-8][qrbn]?'
bestmove=$(first "bestmove $move( ponder $move)?")
problems=()
case $status in
  0) ;;
  124) problems+=("no end within 60 s") ;;
  *) problems+=("exit status $status") ;;
esac
[ -n "$uciok" ] || problems+=("no line 'uciok'")
[ -n "$readyok" ] || problems+=("no line 'readyok'")
[ -n "$bestmove" ] || problems+=("no line 'bestmove <move>'")
if [ -n "$uciok" ] && [ -n "$readyok" ] && [ -n "$bestmove" ] &&
   ! { [ "$uciok" -lt "$readyok" ] && [ "$readyok" -lt "$bestmove" ]; }; then
  problems+=("answers out of order (lines $uciok, $readyok, $bestmove)")
fi
if [ ${#problems[@]} -gt 0 ]; then
  echo "UCI session with $*: FAILED: $(printf '%s; ' "${problems[@]}")"
  tail -n 20 "$work/lines"
  exit 1
fi
echo "UCI session with $*: $(sed -n "${bestmove}p" "$work/lines"), exit status 0"
