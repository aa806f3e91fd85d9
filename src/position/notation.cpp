#include "position/notation.h"

#include "position/settings.h"

namespace mavo {

char promotionLetter(int type) {
  const PieceCode piece = promotedPiece(type);
  return piece ? pieceLetter(piece > 0 ? -piece : piece) : 0;
}

void writeSquare(std::FILE* out, int square) {
  if (square % 10 >= 1 && square % 10 <= 8) std::fputc('a' + square % 10 - 1, out);
  if (square >= A8 && square <= H1) std::fputc('0' + rankOf(square), out);
}

void printSquare(int square) {
  if (isPlayingSquare(square)) writeSquare(stdout, square);
}

void logSquare(int square) { writeSquare(logFile, square); }

const char* squareName(int square) {
  static char name[3];
  name[0] = '\0';
  if (isPlayingSquare(square)) {
    name[0] = static_cast<char>('a' + fileOf(square) - 1);
    name[1] = static_cast<char>('0' + rankOf(square));
    name[2] = '\0';
  }
  return name;
}

void printPromotion(int type) {
  if (const PieceCode piece = promotedPiece(type))
    std::printf("=%c", type == BlackPromoQueen ? 'Q' : pieceLetter(piece));
  std::fflush(stdout);
}

void writeUciMove(std::FILE* out, const Move& move) {
  writeSquare(out, move.from);
  writeSquare(out, move.to);
  if (const char c = promotionLetter(move.type)) {
    std::fputc(c, out);
    std::fflush(out);
  }
}

}  // namespace mavo
