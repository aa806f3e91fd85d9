#!/bin/bash
# Plays games of the engine built in this repository against a Debian engine
# in xboard's match mode (headless under Xvfb; the engine is attached through
# polyglot, as xboard users run UCI engines) and prints wins/draws/losses and
# every game lost by an illegal move, a time forfeit, a crash or a hang.
#
#   tools/match/match.sh [GAMES [TC [OPPONENT]]] [options]
#
#   GAMES     number of games, default 20 (colours alternate; each opening
#             is played twice, once with each colour)
#   TC        0:10+1 (base m:ss or seconds + increment in seconds), 40/20
#             (moves/seconds, repeating), st=1 (seconds per move), or sd=4
#             (a fixed search depth, xboard's -depth; with a clock: sd=4,40/60,
#             default 40/5:00); default 0:10+1
#   OPPONENT  fairymax (default), phalanx, sjeng, hoichess, gnuchess,
#             glaurung, toga2, ethereal, stockfish or stockfish-skill:N
#   options   --engine CMD  engine command line (default: build/mavo)
#             --out DIR     new or empty folder for games, logs and summary
#                           (default: /tmp/mavo-match-<date>-<time>)
#             and the harness's own: --openings FILE --gui --no-reuse
#             --max-moves N --max-minutes M --game-timeout S --strict
#             (see README.md)
#
# Exit status: 0 games played, 2 usage error, 3 the engine could not play,
# 4 with --strict after an engine fault, 5 packages could not be installed.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "${BASH_SOURCE[0]}"; }

engine="$repo/build/mavo"
out="${TMPDIR:-/tmp}/mavo-match-$(date +%Y%m%d-%H%M%S)"
positional=()
options=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --engine) [ $# -ge 2 ] || { usage >&2; exit 2; }; engine="$2"; shift 2 ;;
    --out) [ $# -ge 2 ] || { usage >&2; exit 2; }; out="$2"; shift 2 ;;
    --openings|--max-moves|--max-minutes|--game-timeout)
      [ $# -ge 2 ] || { usage >&2; exit 2; }; options+=("$1" "$2"); shift 2 ;;
    --*) options+=("$1"); shift ;;
    *) positional+=("$1"); shift ;;
  esac
done
[ ${#positional[@]} -le 3 ] || { usage >&2; exit 2; }
games="${positional[0]:-20}"
tc="${positional[1]:-0:10+1}"
opponent="${positional[2]:-fairymax}"

first_word="${engine%% *}"
if [ "$engine" = "$repo/build/mavo" ] && [ ! -x "$first_word" ]; then
  echo "match: $engine not found; build it first: scripts/play.sh (or cmake -S . -B build && cmake --build build)" >&2
  exit 3
fi

opponent_package() {
  case "$1" in
    fairymax|phalanx|sjeng|hoichess|glaurung|toga2|gnuchess|stockfish) echo "$1" ;;
    ethereal) echo ethereal-chess ;;
    stockfish-skill:*) echo stockfish ;;
    *) echo "" ;;
  esac
}

# shellcheck source=install.sh
. "$here/install.sh"
ensure_packages xboard polyglot xvfb xauth python3 $(opponent_package "$opponent") || exit 5

exec python3 "$here/match.py" "$engine" "$opponent" "$games" "$tc" "$out" ${options[@]+"${options[@]}"}
