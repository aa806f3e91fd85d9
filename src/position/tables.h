// Storage of the piece values and the piece-square tables, indexed by piece
// code -7..7, and the opening tables that fill them. Making moves keeps
// `material` with them; the evaluation owns the piece values' start values
// and the one-way switch to its endgame tables.
#pragma once

#include "position/types.h"

namespace mavo {

extern int32_t pieceValueStore[15];
extern int32_t pieceSquareStore[15][kBoardCells];
extern int32_t orderingSquareStore[15][kBoardCells];
inline constexpr int32_t* pieceValue = pieceValueStore + 7;
inline constexpr int32_t (*pieceSquare)[kBoardCells] = pieceSquareStore + 7;
inline constexpr int32_t (*orderingSquare)[kBoardCells] = orderingSquareStore + 7;

// A table as written in the source: rank 8 first, files a to h, as it
// looks on the board.
using Grid = int8_t[64];

struct Table {
  int32_t v[kBoardCells];
};

// Mailbox form of a grid; `mirror` reflects it top to bottom (Black's view).
constexpr Table toMailbox(const Grid& g, bool mirror) {
  Table t{};
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col) t.v[21 + 10 * row + col] = g[8 * (mirror ? 7 - row : row) + col];
  return t;
}

// The opening tables into both pieceSquare and orderingSquare.
void loadPieceSquareTables();

}  // namespace mavo
