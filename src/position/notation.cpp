#include "position/notation.h"

namespace mavo {

char promotionLetter(int type) {
  const PieceCode piece = promotedPiece(type);
  return piece ? pieceLetter(piece > 0 ? -piece : piece) : 0;
}

namespace {

// The one mapping of a cell to its name: the file letter and the rank digit,
// each where the cell has one. Returns the number of characters.
int squareChars(int square, char* out) {
  int n = 0;
  if (square % 10 >= 1 && square % 10 <= 8) out[n++] = static_cast<char>('a' + square % 10 - 1);
  if (square >= A8 && square <= H1) out[n++] = static_cast<char>('0' + rankOf(square));
  return n;
}

}  // namespace

void writeSquare(std::FILE* out, int square) {
  char text[2];
  std::fwrite(text, 1, squareChars(square, text), out);
}

void printSquare(int square) {
  if (isPlayingSquare(square)) writeSquare(stdout, square);
}

const char* squareName(int square) {
  static char name[3];
  name[isPlayingSquare(square) ? squareChars(square, name) : 0] = '\0';
  return name;
}

void printPromotion(int type) {
  if (const PieceCode piece = promotedPiece(type))
    std::printf("=%c", type == BlackPromoQueen ? 'Q' : pieceLetter(piece));
}

void writeUciMove(std::FILE* out, const Move& move) {
  writeSquare(out, move.from);
  writeSquare(out, move.to);
  if (const char c = promotionLetter(move.type)) std::fputc(c, out);
}

}  // namespace mavo
