// Making and unmaking moves.
#pragma once

#include "position/types.h"

namespace mavo {

// Plays a move generated for this very position and pushes its undo data
// on the move stack; unmakeMove takes back the top entry.
void makeMove(Position& pos, const Move& move);
void unmakeMove(Position& pos);

// The same for what the move generator reads alone (board, piece list, slot
// and square masks, counts, kings, castling flags, en passant, side to move): the
// key, material, pawn score and counters stay as they were. A pair for perft's last
// made ply, where only the moves of the new position are counted.
void makeBoardMove(Position& pos, const Move& move);
void unmakeBoardMove(Position& pos);

}  // namespace mavo
