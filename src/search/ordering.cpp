#include "search/ordering.h"

#include "movegen/movegen.h"
#include "position/position.h"
#include "search/evaluate.h"

namespace mavo {

Move killerPrimary[kKillerSlots];
Move killerSecondary[kKillerSlots];
Move mateKillerPrimary[kKillerSlots];
Move mateKillerSecondary[kKillerSlots];
PvLine rootPV;

namespace {

// Ordering bonuses over the square gain and the capture value, beside the
// bonuses by kind that the generator adds already. The second killer of a
// depth scores above the first, and the mate killers above
// both: the order of the list is the design's, not a ranking of merit.
constexpr int kKillerBonus = 360;
constexpr int kSecondKillerBonus = 365;
constexpr int kMateKillerBonus = 370;
constexpr int kPvMoveBonus = 390;
// Killers of two plies shallower count for moves that scored below the
// first killer bonus.
constexpr int kShallowKillerBonus = 340;
constexpr int kShallowSecondKillerBonus = 345;
constexpr int kShallowMateKillerBonus = 350;
constexpr int kCapturePvBonus = 900;  // the quiescence list's previous-line move

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

inline int kindBonus(const Move& m, int32_t piece) { return mavo::kindBonus(m.type, m.captured, piece, m.to); }

// The destination squares of the moves that earn a killer, mate-killer or
// line bonus at this node: a move landing elsewhere can match none of them.
uint64_t namedDestinations(int depth) {
  uint64_t mask = squareBit[killerPrimary[depth].to] | squareBit[killerSecondary[depth].to] |
                  squareBit[mateKillerPrimary[depth].to] | squareBit[mateKillerSecondary[depth].to];
  if (searchPly >= 0 && searchPly < kMaxPvMoves) mask |= squareBit[rootPV.moves[searchPly].to];
  if (depth > 2)
    mask |= squareBit[killerPrimary[depth - 2].to] | squareBit[killerSecondary[depth - 2].to] |
            squareBit[mateKillerPrimary[depth - 2].to] | squareBit[mateKillerSecondary[depth - 2].to];
  return mask;
}

}  // namespace

void scoreMoves(int count, Move* moves, const Position& pos, int depth) {
  for (int i = 0; i < count; ++i)
    moves[i].score = baseScore(moves[i], pos) + kindBonus(moves[i], pos.board[moves[i].from]);
  scoreNamedMoves(count, moves, pos, depth);
}

namespace {

// A move that a killer, mate killer or the line may name, scored anew.
int namedScore(const Move& m, const Position& pos, int depth) {
  int score = baseScore(m, pos);
  const int32_t piece = pos.board[m.from];
  if (matches(m, killerPrimary[depth]))
    score += kKillerBonus;
  else if (matches(m, killerSecondary[depth]))
    score += kSecondKillerBonus;
  else if (const int bonus = kindBonus(m, piece))
    score += bonus;
  else if (matches(m, mateKillerPrimary[depth]) || matches(m, mateKillerSecondary[depth]))
    score += kMateKillerBonus;
  else if (onRootPv(m))
    score += kPvMoveBonus;
  if (depth > 2 && score < kKillerBonus) {
    if (matches(m, killerPrimary[depth - 2]))
      score += kShallowKillerBonus;
    else if (matches(m, killerSecondary[depth - 2]))
      score += kShallowSecondKillerBonus;
    else if (matches(m, mateKillerPrimary[depth - 2]) || matches(m, mateKillerSecondary[depth - 2]))
      score += kShallowMateKillerBonus;
  }
  return score;
}

}  // namespace

int scoreNamedMoves(int count, Move* moves, const Position& pos, int depth) {
  const uint64_t named = namedDestinations(depth);
  BestScore best;
  for (int i = 0; i < count; ++i) {
    Move& m = moves[i];
    if (named & squareBit[m.to]) m.score = namedScore(m, pos, depth);
    best.see(m.score, i);
  }
  return best.uniqueIndex();
}

void scoreCaptures(Move* moves, int count, const Position& pos) {
  for (int i = 0; i < count; ++i) {
    Move& m = moves[i];
    m.score = baseScore(m, pos) + (onRootPv(m) ? kCapturePvBonus : 0);
  }
}

// Each exchange chain of the Shell sort carries one entry down past the
// greater scores before it: done by shifting them up and writing the entry
// once at its place. The entries are scores with list indices, a sixth of
// a move's size; the comparisons read the scores alone.
const SortEntry* sortOrder(const Move* moves, int count, SortedList& entries) {
  for (int i = 0; i < count; ++i) entries[i] = {moves[i].score, i};
  for (int gap = count / 2; gap > 0; gap /= 2)
    for (int i = gap; i < count; ++i) {
      if (entries[i - gap].score <= entries[i].score) continue;
      const SortEntry carried = entries[i];
      int j = i - gap;
      do {
        entries[j + gap] = entries[j];
        j -= gap;
      } while (j >= 0 && entries[j].score > carried.score);
      entries[j + gap] = carried;
    }
  return entries;
}

void sortMoves(Move* moves, int count) {
  SortedList order;
  sortOrder(moves, count, order);
  Move sorted[kMaxMoves];
  for (int i = 0; i < count; ++i) sorted[i] = moves[order[i].index];
  for (int i = 0; i < count; ++i) moves[i] = sorted[i];
}

}  // namespace mavo
