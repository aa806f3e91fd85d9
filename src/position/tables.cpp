#include "position/tables.h"

#include <cstring>

namespace mavo {

int32_t pieceValueStore[15];
int32_t pieceSquareStore[15][kBoardCells];
int32_t orderingSquareStore[15][kBoardCells];

namespace {

// The evaluation's opening piece-square tables; its endgame tables are
// with the switch to them (search/evaluate.cpp).
// clang-format off

constexpr Grid kWhitePawn = {
    0,  0,  0,  0,  0,  0,  0,  0,   //
    10, 15, 24, 32, 32, 24, 15, 10,  //
    10, 15, 24, 32, 32, 24, 15, 10,  //
    6,  11, 14, 29, 29, 14, 11, 6,   //
    2,  2,  4,  26, 28, 4,  2,  2,   //
    2,  2,  4,  12, 12, 4,  2,  2,   //
    4,  4,  4,  0,  0,  4,  4,  4,   //
    0,  0,  0,  0,  0,  0,  0,  0,
};
constexpr Grid kWhiteKnight = {
    -7, -3, 1,  3,  3,  1,  -3, -7,  //
    2,  6,  14, 20, 20, 14, 6,  2,   //
    6,  14, 28, 32, 32, 28, 14, 6,   //
    8,  18, 30, 32, 32, 30, 18, 8,   //
    8,  20, 26, 30, 30, 26, 20, 8,   //
    6,  14, 18, 24, 24, 18, 14, 6,   //
    2,  6,  14, 15, 15, 14, 6,  2,   //
    -7, 2,  1,  3,  3,  1,  2,  -7,
};
// Not quite the mirror of White's: 18 on b5 and g5 where White has 20.
constexpr Grid kBlackKnight = {
    -7, 2,  1,  3,  3,  1,  2,  -7,  //
    2,  6,  14, 15, 15, 14, 6,  2,   //
    6,  14, 18, 24, 24, 18, 14, 6,   //
    8,  18, 26, 30, 30, 26, 18, 8,   //
    8,  18, 30, 32, 32, 30, 18, 8,   //
    6,  14, 28, 32, 32, 28, 14, 6,   //
    2,  6,  14, 20, 20, 14, 6,  2,   //
    -7, -3, 1,  3,  3,  1,  -3, -7,
};
constexpr Grid kWhiteBishop = {
    16, 16, 16, 16, 16, 16, 16, 16,  //
    16, 29, 31, 31, 31, 31, 29, 16,  //
    16, 28, 32, 32, 32, 32, 28, 16,  //
    16, 26, 32, 32, 32, 32, 26, 16,  //
    16, 26, 32, 32, 32, 32, 26, 16,  //
    26, 28, 32, 32, 32, 32, 28, 26,  //
    26, 29, 31, 31, 31, 31, 29, 26,  //
    16, 16, 16, 16, 16, 16, 16, 16,
};
constexpr Grid kWhiteRook = {
    3,  3, 3, 3, 3, 3, 3, 3,   //
    10, 10, 10, 10, 10, 10, 10, 10,  //
    -2, 0, 0, 0, 0, 0, 0, -2,  //
    -2, 0, 0, 0, 0, 0, 0, -2,  //
    -2, 0, 0, 0, 0, 0, 0, -2,  //
    -2, 0, 0, 0, 0, 0, 0, -2,  //
    -2, 0, 0, 0, 0, 0, 0, -2,  //
    0,  0, 0, 3, 3, 0, 0, 0,
};
constexpr Grid kWhiteQueen = {
    0,  0,  0,  0, 0, 0,  0,  0,   //
    0,  0,  0,  0, 0, 0,  -2, -2,  //
    0,  0,  0,  0, 0, 0,  -2, -2,  //
    0,  0,  0,  2, 2, 0,  0,  0,   //
    0,  0,  0,  2, 2, 0,  0,  0,   //
    0,  0,  0,  1, 1, 1,  1,  0,   //
    0,  0,  0,  1, 1, 1,  0,  0,   //
    -2, -2, -2, 0, 0, -2, -2, -2,
};
constexpr Grid kWhiteKing = {
    -20, -20, -20, -20, -20, -20, -20, -20,  //
    -20, -20, -20, -20, -20, -20, -20, -20,  //
    -20, -20, -20, -20, -20, -20, -20, -20,  //
    -20, -20, -20, -20, -20, -20, -20, -20,  //
    -20, -20, -20, -20, -20, -20, -20, -20,  //
    -7,  -15, -15, -15, -15, -15, -15, -7,   //
    -5,  -5,  -12, -14, -14, -14, -5,  -5,   //
    3,   3,   14,  -14, -8,  -14, 16,  5,
};
// clang-format on

struct SquareTables {
  int32_t v[15][kBoardCells];
};

// clang-format off
constexpr Table kOpening[13] = {
    // indexed by piece code + 6: black king .. white king
    toMailbox(kWhiteKing, true),  toMailbox(kWhiteQueen, true), toMailbox(kWhiteRook, true),
    toMailbox(kWhiteBishop, true), toMailbox(kBlackKnight, false), toMailbox(kWhitePawn, true),
    Table{},
    toMailbox(kWhitePawn, false), toMailbox(kWhiteKnight, false), toMailbox(kWhiteBishop, false),
    toMailbox(kWhiteRook, false), toMailbox(kWhiteQueen, false), toMailbox(kWhiteKing, false),
};
// clang-format on
constexpr SquareTables openingTables() {
  SquareTables t{};
  for (int code = -6; code <= 6; ++code)
    for (int s = 0; s < kBoardCells; ++s) t.v[code + 7][s] = kOpening[code + 6].v[s];
  return t;
}

// Constant data, ready before any code runs.
constexpr SquareTables kOpeningSquare = openingTables();

}  // namespace

void loadPieceSquareTables() {
  std::memcpy(pieceSquareStore, kOpeningSquare.v, sizeof pieceSquareStore);
  std::memcpy(orderingSquareStore, kOpeningSquare.v, sizeof orderingSquareStore);
}

}  // namespace mavo
