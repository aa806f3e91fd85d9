// Storage of the piece values and the piece-square tables, indexed by piece
// code -7..7. Making moves keeps `material` with them; the evaluation owns
// their values: the start values, the opening tables and the one-way switch
// to the endgame tables.
#pragma once

#include "position/types.h"

namespace mavo {

extern int32_t pieceValueStore[15];
extern int32_t pieceSquareStore[15][kBoardCells];
extern int32_t orderingSquareStore[15][kBoardCells];
inline constexpr int32_t* pieceValue = pieceValueStore + 7;
inline constexpr int32_t (*pieceSquare)[kBoardCells] = pieceSquareStore + 7;
inline constexpr int32_t (*orderingSquare)[kBoardCells] = orderingSquareStore + 7;

// The opening tables, indexed by piece code + 7; defined with the
// evaluation's values (constant data, ready before any code runs).
struct SquareTables {
  int32_t v[15][kBoardCells];
};
extern const SquareTables kOpeningSquare;

// The opening tables into both pieceSquare and orderingSquare.
void loadPieceSquareTables();

}  // namespace mavo
