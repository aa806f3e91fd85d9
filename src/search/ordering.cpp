#include "search/ordering.h"

#include "position/position.h"
#include "search/evaluate.h"

namespace mavo {

Move killerPrimary[kKillerSlots];
Move killerSecondary[kKillerSlots];
Move mateKillerPrimary[kKillerSlots];
Move mateKillerSecondary[kKillerSlots];
PvLine rootPV;

namespace {

inline bool matches(const Move& a, const Move& b) { return a.from == b.from && a.to == b.to; }

inline int baseScore(const Move& m, const Position& pos) {
  const int32_t p = pos.board[m.from];
  return orderingSquare[p][m.to] - orderingSquare[p][m.from] - pieceValue[pos.board[m.to]] * pos.color;
}

// The previous principal variation's move at this node's distance from the
// root; elements past its count still hold older lines and count as well.
inline bool onRootPv(const Move& m) {
  return searchPly >= 0 && searchPly < kMaxPvMoves && matches(m, rootPV.moves[searchPly]);
}

}  // namespace

void scoreMoves(int count, Move* moves, const Position& pos, int depth) {
  for (int i = 0; i < count; ++i) {
    Move& m = moves[i];
    int score = baseScore(m, pos);
    const int32_t piece = pos.board[m.from];
    if (matches(m, killerPrimary[depth]))
      score += 360;
    else if (matches(m, killerSecondary[depth]))
      score += 365;
    else if (m.type == WhitePromoQueen || m.type == BlackPromoQueen)
      score += 400;
    else if (m.captured != 0)
      score += 800;
    else if ((piece == kPawn && m.to < 49) || (piece == -kPawn && m.to > 70))
      score += 340;
    else if (matches(m, mateKillerPrimary[depth]) || matches(m, mateKillerSecondary[depth]))
      score += 370;
    else if (onRootPv(m))
      score += 390;
    if (depth > 2 && score < 360) {
      if (matches(m, killerPrimary[depth - 2]))
        score += 340;
      else if (matches(m, killerSecondary[depth - 2]))
        score += 345;
      else if (matches(m, mateKillerPrimary[depth - 2]) || matches(m, mateKillerSecondary[depth - 2]))
        score += 350;
    }
    m.score = score;
  }
}

void scoreCaptures(Move* moves, int count, const Position& pos) {
  for (int i = 0; i < count; ++i) {
    Move& m = moves[i];
    m.score = baseScore(m, pos) + (onRootPv(m) ? 900 : 0);
  }
}

// Each exchange chain of the Shell sort carries one move down past the
// greater scores before it: done by shifting them up and writing the move
// once at its place.
void sortMoves(Move* moves, int count) {
  for (int gap = count / 2; gap > 0; gap /= 2)
    for (int i = gap; i < count; ++i) {
      if (moves[i - gap].score <= moves[i].score) continue;
      const Move carried = moves[i];
      int j = i - gap;
      do {
        moves[j + gap] = moves[j];
        j -= gap;
      } while (j >= 0 && moves[j].score > carried.score);
      moves[j + gap] = carried;
    }
}

}  // namespace mavo
