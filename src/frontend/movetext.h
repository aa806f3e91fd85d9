// Moves as coordinate text (e2e4, e7e8q; castling as the king's move).
#pragma once

#include "position/types.h"

namespace mavo {

// Index of the move the text names in the generateMoves list of the
// position, or -1. Reads at most five characters of the text and never past
// its end; the position is not changed.
int parseMoveText(const char* text, const Position& pos);

}  // namespace mavo
