// The position key: the tables made at start-up by the program's own
// pseudo-random generator, and the key computed from scratch.
#pragma once

#include "position/types.h"

namespace mavo {

extern PositionKey pieceKey[12][kBoardCells];
extern PositionKey epKey[kBoardCells];
extern PositionKey whiteToMoveKey;
extern uint32_t keyRandom;

uint32_t nextKeyRandom();
void initKeyTables();
// The key from scratch, into `hashkey` and `boardKey`.
void computeKey(Position& pos);

// The key tables as the key functions read them: the value of a piece code
// (offset 8) on a square, zero for an empty square and for the border; the
// en-passant values, zero for "no square".
extern PositionKey squareKey[kBoardCells][16];
extern PositionKey epSquareKey[kBoardCells];
inline PositionKey sideKey(int color) { return whiteToMoveKey & (PositionKey{0} - (color == 1)); }

}  // namespace mavo
