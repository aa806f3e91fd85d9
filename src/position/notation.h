// The text forms of pieces, squares and moves, each written in one place.
#pragma once

#include <cstdio>

#include "position/types.h"

namespace mavo {

// Board characters and piece letters, indexed by piece code + 6.
inline constexpr char kPieceLetters[] = "kqrbnp.PNBRQK";
inline constexpr char pieceLetter(PieceCode c) { return kPieceLetters[c + 6]; }

// The piece a promotion type puts on the board (Black's codes negative);
// 0 for every other type.
inline constexpr PieceCode promotedPiece(int type) {
  if (type >= WhitePromoQueen && type <= WhitePromoKnight) return kQueen - (type - WhitePromoQueen);
  if (type >= BlackPromoQueen && type <= BlackPromoKnight) return -(kQueen - (type - BlackPromoQueen));
  return kEmpty;
}

// Lower-case promotion letter of a move type (the UCI form), or 0.
char promotionLetter(int type);

// A square as its file letter and rank digit, each where the cell has one
// (a border cell of a playing row has a rank but no file).
void writeSquare(std::FILE* out, int square);
// The same on standard output, for playing squares only.
void printSquare(int square);
// The name of a playing square in a shared buffer ("" for any other cell),
// overwritten by the next call.
const char* squareName(int square);

// Promotion suffix "=Q", "=r", ... (the black queen also prints "=Q").
void printPromotion(int type);

// A move in coordinates with its lower-case promotion letter (e2e4, e7e8q).
void writeUciMove(std::FILE* out, const Move& move);

// Move number counted from the position last set up.
inline constexpr int moveNumber(const Position& pos) { return pos.color == 1 ? (pos.ply + 2) / 2 : (pos.ply + 1) / 2; }

}  // namespace mavo
