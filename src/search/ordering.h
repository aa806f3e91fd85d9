// Move ordering: scores for the searches' move lists and the sort.
#pragma once

#include "position/types.h"

namespace mavo {

// Killer and mate-killer tables, indexed by remaining depth (alpha-beta) or
// by search ply (quiescence): depths are clamped to 64 and can grow by two
// extensions.
inline constexpr int kKillerSlots = 67;
extern Move killerPrimary[kKillerSlots];
extern Move killerSecondary[kKillerSlots];
extern Move mateKillerPrimary[kKillerSlots];
extern Move mateKillerSecondary[kKillerSlots];

// A principal variation: element 0 is the node's own move.
inline constexpr int kMaxPvMoves = 64;
struct PvLine {
  int count;
  Move moves[kMaxPvMoves];
};
extern PvLine rootPV;

void scoreMoves(int count, Move* moves, const Position& pos, int depth);
void scoreCaptures(Move* moves, int count, const Position& pos);
// Shell sort, ascending by score: the searches walk lists from the end.
void sortMoves(Move* moves, int count);

}  // namespace mavo
