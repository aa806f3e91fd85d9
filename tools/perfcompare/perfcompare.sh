#!/bin/bash
# Speed of perft and of the search, measured side by side with Debian's
# stockfish when it is installed, and with an earlier build of ours when one
# is named. Builds the Release configuration, then runs each perft benchmark
# in one live session of each engine, alternately (ours, baseline, theirs,
# ours, ...), timing every command from the moment it is sent to the line
# with its result; then runs the fixed-depth search bench, alternately too,
# and counts its instructions per alpha-beta node under valgrind's callgrind
# (when valgrind is installed; the count is the same on every run). Prints
# nodes per second as min/median/max and the median of the per-run time
# ratios ours/theirs (below 1.0: ours is faster).
#
#   tools/perfcompare/perfcompare.sh [--quick] [--runs N] [--build-dir DIR]
#                                    [--no-build] [--stockfish CMD]
#                                    [--baseline DIR]
#
#   --quick          small depths, one run each: checks that the tool works,
#                    that the node counts and the bench signature are
#                    unchanged (a few seconds; what CI runs)
#   --runs N         runs per benchmark, default 5 (1 with --quick)
#   --build-dir DIR  Release build folder, default build-perfcompare (an
#                    existing folder keeps its options)
#   --no-build       use the binaries already in the build folder
#   --stockfish CMD  the engine to compare with, default stockfish (also
#                    looked up in /usr/games); "none" skips the comparison
#   --baseline DIR   a build folder of an earlier version (its mavo and
#                    tools/bench/bench), measured beside ours
#
# Timings on a shared machine are noisy: compare medians of several runs,
# never single runs. Exit status: 0 done, 1 a node count or the bench
# signature differs, 2 usage error, 3 build or engine failure.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "${BASH_SOURCE[0]}"; }

quick=0 runs="" build="$repo/build-perfcompare" nobuild=0 sf="stockfish" baseline=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --runs) runs="${2:-}"; shift ;;
    --build-dir) build="${2:-}"; shift ;;
    --no-build) nobuild=1 ;;
    --stockfish) sf="${2:-}"; shift ;;
    --baseline) baseline="${2:-}"; shift ;;
    -h|--help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
# The engines run in a scratch folder: the build folder's path must not be relative.
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
[ -z "$runs" ] && runs=$((quick ? 1 : 5))
case "$runs" in ''|*[!0-9]*|0) echo "perfcompare: --runs needs a positive number" >&2; exit 2 ;; esac

# name | FEN (empty: the start position) | depth | nodes | quick depth | quick nodes
benchmarks=(
  "start position|rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1|6|119060324|4|197281"
  "r3k2r/p1ppqpb1/...|r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1|5|193690690|3|97862"
  "8/2p5/3p4/KP5r/...|8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1|7|178633661|5|674624"
)

if [ "$nobuild" = 0 ]; then
  echo "Building Release in $build ..."
  mkdir -p "$build"
  log="$build/perfcompare-build.log"
  if [ -f "$build/CMakeCache.txt" ]; then
    # An existing folder keeps its options; it must be a Release build.
    grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt" ||
      { echo "perfcompare: $build is not a Release build" >&2; exit 2; }
    cmake --build "$build" --target mavo bench >"$log" 2>&1
  else
    { cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMAVO_TESTS=OFF &&
      cmake --build "$build" --target mavo bench; } >"$log" 2>&1
  fi || { echo "perfcompare: build failed, see $log" >&2; exit 3; }
fi
mavo="$build/mavo" bench="$build/tools/bench/bench"
[ -x "$mavo" ] && [ -x "$bench" ] || { echo "perfcompare: no mavo or bench in $build" >&2; exit 3; }
if [ -n "$baseline" ]; then
  case "$baseline" in /*) ;; *) baseline="$PWD/$baseline" ;; esac
  base_mavo="$baseline/mavo" base_bench="$baseline/tools/bench/bench"
  [ -x "$base_mavo" ] && [ -x "$base_bench" ] || { echo "perfcompare: no mavo or bench in $baseline" >&2; exit 3; }
fi

if [ "$sf" = none ]; then
  sf=""
elif ! command -v "$sf" >/dev/null 2>&1; then
  if [ -x "/usr/games/$sf" ]; then sf="/usr/games/$sf"; else sf=""; fi
fi

now() { echo "${EPOCHREALTIME/[.,]/}"; }  # microseconds

# Reads lines from fd $1 until one contains $2 (at most $3 seconds); the
# line is left in $line.
wait_for() {
  local fd=$1 needle=$2 limit=$3
  while IFS= read -r -t "$limit" -u "$fd" line; do
    [[ "$line" == *"$needle"* ]] && return 0
  done
  return 1
}

# Sorted numbers on stdin -> "min median max".
stats() { sort -g | awk '{ v[NR] = $1 } END { printf "%s %s %s", v[1], v[int((NR + 1) / 2)], v[NR] }'; }
nps() { awk -v n="$1" -v us="$2" 'BEGIN { printf "%.0f\n", n / (us / 1e6) }'; }
fmt_stats() { awk -v s="$1" 'BEGIN { split(s, v, " "); printf "%6.2f %6.2f %6.2f", v[1] / 1e6, v[2] / 1e6, v[3] / 1e6 }'; }

status=0
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT

# Starts "$@" in the work folder behind two FIFOs; sets $pid, $to (its
# input) and $from (its output).
start_engine() {
  local tag=$1
  shift
  mkfifo "$workdir/$tag.in" "$workdir/$tag.out"
  (cd "$workdir" && exec "$@" <"$workdir/$tag.in" >"$workdir/$tag.out" 2>&1) &
  pid=$!
  exec {to}>"$workdir/$tag.in" {from}<"$workdir/$tag.out"
}

start_engine ours "$mavo"
ours_pid=$pid ours_in=$to ours_out=$from
if [ -n "$baseline" ]; then
  start_engine base "$base_mavo"
  base_in=$to base_out=$from
fi
if [ -n "$sf" ]; then
  start_engine theirs "$sf"
  theirs_in=$to theirs_out=$from
  echo "uci" >&"$theirs_in"
  wait_for "$theirs_out" "id name" 10 && theirs_name=${line#id name }
  wait_for "$theirs_out" uciok 10 || { echo "perfcompare: $sf does not answer uci" >&2; exit 3; }
fi

# Times one perft command in one of our sessions; the microseconds go to $us.
our_perft() {
  local in=$1 out=$2 t0 t1 got
  t0=$(now)
  echo "perft $depth" >&"$in"
  wait_for "$out" "Perft ($depth)" 600 || { echo "perfcompare: no perft answer" >&2; exit 3; }
  t1=$(now)
  got=$(sed -E 's/.*Perft \([0-9]+\): ([0-9]+).*/\1/' <<<"$line")
  if [ "$got" != "$nodes" ]; then
    echo "perfcompare: $name perft $depth counted $got nodes, expected $nodes" >&2
    status=1
  fi
  us=$((t1 - t0))
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
mnps_col() { local n=$1; shift; fmt_stats "$(for us in "$@"; do nps "$n" "$us"; done | stats)"; }

echo
header=$(printf "%-22s %5s %11s  %-22s" "perft" depth nodes "ours Mnps min/med/max")
[ -n "$baseline" ] && header+=$(printf " %-22s %-9s" "baseline Mnps" "ours/base")
[ -n "$sf" ] && header+=$(printf " %-22s %s" "theirs Mnps min/med/max" "time ours/theirs")
echo "$header"
for entry in "${benchmarks[@]}"; do
  IFS='|' read -r name fen depth nodes qdepth qnodes <<<"$entry"
  [ "$quick" = 1 ] && depth=$qdepth nodes=$qnodes
  ours=() bases=() theirs=() ratios=() base_ratios=()
  echo "setboard $fen" >&"$ours_in"
  [ -n "$baseline" ] && echo "setboard $fen" >&"$base_in"
  [ -n "$sf" ] && echo "position fen $fen" >&"$theirs_in"
  for ((r = 0; r < runs; r++)); do
    our_perft "$ours_in" "$ours_out"
    ours+=("$us")
    if [ -n "$baseline" ]; then
      our_perft "$base_in" "$base_out"
      bases+=("$us")
      base_ratios+=("$(ratio "${ours[r]}" "$us")")
    fi
    if [ -n "$sf" ]; then
      t0=$(now)
      echo "go perft $depth" >&"$theirs_in"
      wait_for "$theirs_out" "Nodes searched" 600 || { echo "perfcompare: no answer from $sf" >&2; exit 3; }
      t1=$(now)
      theirs+=($((t1 - t0)))
      ratios+=("$(ratio "${ours[r]}" "$((t1 - t0))")")
    fi
  done
  row=$(printf "%-22s %5s %11s  %-22s" "$name" "$depth" "$nodes" "$(mnps_col "$nodes" "${ours[@]}")")
  [ -n "$baseline" ] && row+=$(printf " %-22s %-9s" "$(mnps_col "$nodes" "${bases[@]}")" \
    "$(printf "%s\n" "${base_ratios[@]}" | stats | awk '{ print $2 }')")
  [ -n "$sf" ] && row+=$(printf " %-22s %s" "$(mnps_col "$nodes" "${theirs[@]}")" \
    "$(printf "%s\n" "${ratios[@]}" | stats | awk '{ print $2 }')")
  echo "$row"
done

# Peak memory of the session that ran the perft commands; start-up: the
# whole life of a process that reads "quit" at once (an upper bound of the
# time to its first prompt).
peak=$(awk '/VmHWM/ { print $2, $3 }' "/proc/$ours_pid/status" 2>/dev/null)
echo "quit" >&"$ours_in"
[ -n "$baseline" ] && echo "quit" >&"$base_in"
[ -n "$sf" ] && echo "quit" >&"$theirs_in"
wait
cd "$workdir" || exit 3
startups=$(for ((r = 0; r < 11; r++)); do
  t0=$(now)
  "$mavo" <<<quit >/dev/null 2>&1
  t1=$(now)
  echo $((t1 - t0))
done | stats)
cd "$repo" || exit 3
echo
echo "ours: peak memory ${peak:-unknown}; start-up to quit (min/median/max): $(awk -v s="$startups" \
  'BEGIN { split(s, v, " "); printf "%.1f %.1f %.1f ms", v[1] / 1e3, v[2] / 1e3, v[3] / 1e3 }')"
[ -n "$sf" ] && echo "theirs: $theirs_name ($sf)" || echo "theirs: stockfish not found, comparison skipped"

# The search bench: the node total must be the signature. Runs alternate
# with the baseline's; then the instructions per alpha-beta node.
signature=$(grep -E '^[0-9]+$' "$repo/tools/bench/signature.txt" | head -1)
run_bench() {
  local total
  total=$(cd "$workdir" && "$1" | awk '/^Total:/ { print $2, $4 }')
  [ -n "$total" ] || { echo "perfcompare: bench failed" >&2; exit 3; }
  if [ "${total% *}" != "$signature" ]; then
    echo "perfcompare: $1 counted ${total% *} nodes, signature $signature" >&2
    status=1 kept=CHANGED
  fi
  bench_nps=${total#* }
}
instructions() {
  (cd "$workdir" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null) |
    awk '/refs:/ { gsub(",", "", $NF); print $NF }'
}
ours_nps=() base_nps=() kept=kept
for ((r = 0; r < runs; r++)); do
  run_bench "$bench"
  ours_nps+=("$bench_nps")
  if [ -n "$baseline" ]; then
    run_bench "$base_bench"
    base_nps+=("$bench_nps")
  fi
done
echo
echo "search bench: $signature nodes (signature $kept)"
echo "  ours Mnps min/med/max $(fmt_stats "$(printf "%s\n" "${ours_nps[@]}" | stats)")"
[ -n "$baseline" ] && echo "  baseline Mnps min/med/max $(fmt_stats "$(printf "%s\n" "${base_nps[@]}" | stats)")"
if [ "$quick" = 0 ] && command -v valgrind >/dev/null 2>&1; then
  ours_ir=$(instructions "$bench")
  echo "  ours: $ours_ir instructions, $((ours_ir / signature)) per alpha-beta node (callgrind)"
  if [ -n "$baseline" ]; then
    base_ir=$(instructions "$base_bench")
    echo "  baseline: $base_ir instructions, $((base_ir / signature)) per alpha-beta node;" \
      "ours $(awk -v a="$ours_ir" -v b="$base_ir" 'BEGIN { printf "%.1f", 100 * (a - b) / b }')%"
  fi
fi
exit $status
