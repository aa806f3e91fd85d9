// Legal move generation.
#pragma once

#include "position/types.h"

namespace mavo {

// Every legal move of the side to move, in the engine's fixed order; returns
// the count. The position is the same on return.
int generateMoves(Position& pos, Move* list);

// Legal captures and queen promotions only (the quiescence search's list).
int generateCaptures(Position& pos, Move* list);

// The number generateMoves would return, without writing a list.
int countLegalMoves(Position& pos);

}  // namespace mavo
