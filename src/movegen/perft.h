// Node counts of the legal move tree.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace mavo {

// Every level of a walk keeps a move list on the stack: deeper counts could
// never finish anyway, but would overflow the stack at once.
inline constexpr int kMaxPerftDepth = 64;

struct PerftCounts {
  uint64_t total;   // positions 1 to d + 1 plies below
  uint64_t leaves;  // positions exactly d + 1 plies below
};

// One walk d plies deep; the last ply is counted, never made. The position
// is the same afterwards, apart from the key unmakeMove leaves.
PerftCounts perftWalk(Position& pos, int d);

// The positions exactly `depth` plies below (depth 1 or more).
uint64_t perft(Position& pos, int depth);

}  // namespace mavo
