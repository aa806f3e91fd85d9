#include "frontend/movetext.h"

#include "movegen/movegen.h"

namespace mavo {

bool parseMoveText(const char* text, const Position& pos, Move& move) {
  Position copy = pos;
  MoveList moves;
  int n = generateMoves(copy, moves);
  if (n == 0) return false;
  for (int i = 0; i < 4; ++i) {
    char c = text[i];
    bool ok = i % 2 == 0 ? (c >= 'a' && c <= 'h') : (c >= '1' && c <= '8');
    if (!ok) return false;
  }
  const int from = squareAt(text[0] - 'a' + 1, text[1] - '0');
  const int to = squareAt(text[2] - 'a' + 1, text[3] - '0');
  int offset = 0;
  switch (text[4]) {
    case 'R':
    case 'r': offset = 1; break;
    case 'B':
    case 'b': offset = 2; break;
    case 'N':
    case 'n': offset = 3; break;
    default: offset = 0; break;
  }
  for (int i = 0; i < n; ++i) {
    if (moves[i].from != from || moves[i].to != to) continue;
    // The four promotions of one pawn move stand together as Q, R, B, N;
    // after any other move the letter selects nothing.
    move = moves[isPromotion(moves[i].type) ? i + offset : i];
    return true;
  }
  return false;
}

}  // namespace mavo
