#include "frontend/movetext.h"

#include "frontend/config.h"
#include "movegen/movegen.h"

namespace mavo {

int parseMoveText(const char* text, const Position& pos) {
  Position copy = pos;
  MoveList moves;
  int n = generateMoves(copy, moves);
  if (n == 0) return -1;
  for (int i = 0; i < 4; ++i) {
    char c = text[i];
    bool ok = i % 2 == 0 ? (c >= 'a' && c <= 'h') : (c >= '1' && c <= '8');
    if (!ok) return -1;
  }
  int from = text[0] - 10 * text[1] + 484;
  int to = text[2] - 10 * text[3] + 484;
  int offset = 0;
  switch (text[4]) {
    case 'R': case 'r': offset = 1; break;
    case 'B': case 'b': offset = 2; break;
    case 'N': case 'n': offset = 3; break;
    default: offset = 0; break;
  }
  for (int i = 0; i < n; ++i) {
    if (moves[i].from != from || moves[i].to != to) continue;
    // The four promotions of one pawn move stand together as Q, R, B, N;
    // after any other move the letter selects nothing.
    return isPromotion(moves[i].type) ? i + offset : i;
  }
  return -1;
}

const char* squareName(int square) {
  static char name[3];
  if (isPlayingSquare(square)) {
    name[0] = static_cast<char>('a' + fileOf(square) - 1);
    name[1] = static_cast<char>('0' + rankOf(square));
    name[2] = '\0';
  } else {
    name[0] = '\0';
  }
  return name;
}

void logSquare(int square) {
  if (square % 10 >= 1 && square % 10 <= 8) std::fputc('a' + square % 10 - 1, logFile);
  if (square >= 21 && square <= 98) std::fputc('0' + rankOf(square), logFile);
}

char promotionLetter(int type) {
  switch (type) {
    case WhitePromoQueen: case BlackPromoQueen: return 'q';
    case WhitePromoRook: case BlackPromoRook: return 'r';
    case WhitePromoBishop: case BlackPromoBishop: return 'b';
    case WhitePromoKnight: case BlackPromoKnight: return 'n';
    default: return 0;
  }
}

}  // namespace mavo
