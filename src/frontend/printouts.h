// Printouts of move lists that both front ends serve: the legal moves with
// check marks ("show") and the list in search order ("sort").
#pragma once

#include "position/types.h"

namespace mavo {

// The legal moves in a short algebraic-like form with +, # and S marks,
// played out on a copy of the position.
void printMoveList(Position pos, const Move* moves, int count);

// The console's "sort": the legal moves scored and ordered as the search
// orders them at depth searchPly.
void printSortedMoves(Position& pos);

}  // namespace mavo
