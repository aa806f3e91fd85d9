#include "movegen/perft.h"

#include "movegen/makemove.h"
#include "movegen/movegen.h"

namespace mavo {

PerftCounts perftWalk(Position& pos, int d) {
  if (d == 0) {
    const auto n = static_cast<uint64_t>(countLegalMoves(pos));
    return {n, n};
  }
  MoveList moves;
  const int n = generateMoves(pos, moves);
  PerftCounts counts{static_cast<uint64_t>(n), 0};
  if (d == 1) {
    // The last made ply: the counts need the new positions' moves only.
    for (int i = 0; i < n; ++i) {
      makeBoardMove(pos, moves[i]);
      const auto below = static_cast<uint64_t>(countLegalMoves(pos));
      unmakeBoardMove(pos);
      counts.total += below;
      counts.leaves += below;
    }
    return counts;
  }
  for (int i = 0; i < n; ++i) {
    makeMove(pos, moves[i]);
    const PerftCounts below = perftWalk(pos, d - 1);
    unmakeMove(pos);
    counts.total += below.total;
    counts.leaves += below.leaves;
  }
  return counts;
}

uint64_t perft(Position& pos, int depth) { return perftWalk(pos, depth - 1).leaves; }

}  // namespace mavo
