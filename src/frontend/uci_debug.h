// The UCI loop's debugging commands: printouts of its position for a
// person reading the GUI's engine window (b_ausgabe, stack, show, disp,
// val, moves, draw). Moves are generated only once the position has been
// set (`positionSet`): the empty board of a fresh UCI mode has no kings.
#pragma once

#include "position/types.h"

namespace mavo {

// "b_ausgabe": the board, also into the log with the command line.
void uciBoardOutput(const Position& pos, const char* line);
// "stack": the moves played, also into the log after the command word.
void uciStackOutput(const Position& pos, const char* word);
// "show": the legal moves with their marks; "moves": their squares only.
void uciShowOutput(Position& pos, bool positionSet);
void uciMovesOutput(Position& pos, bool positionSet);
// "disp": the board.
void uciDisplay(const Position& pos);
// "val": the white king's live square table.
void uciValOutput();
// "draw": the keys of the moves played and the draw test.
void uciDrawOutput(const Position& pos);

}  // namespace mavo
