#include "movegen/perft.h"

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
