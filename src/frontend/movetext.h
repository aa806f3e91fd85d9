// Moves as coordinate text (e2e4, e7e8q; castling as the king's move).
#pragma once

#include "position/types.h"

namespace mavo {

// The legal move of the position that the text names, into `move`; false
// when it names none. Reads at most five characters of the text and never
// past its end; the position is not changed.
bool parseMoveText(const char* text, const Position& pos, Move& move);

}  // namespace mavo
