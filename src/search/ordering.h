// Move ordering: scores for the searches' move lists and the sort.
#pragma once

#include <array>
#include <climits>
#include <cstdint>

#include "position/types.h"

namespace mavo {

// Killer and mate-killer tables, indexed by remaining depth (alpha-beta) or
// by search ply (quiescence): depths are clamped to 64 and can grow by two
// extensions.
inline constexpr int kKillerSlots = 67;
extern Move killerPrimary[kKillerSlots];
extern Move killerSecondary[kKillerSlots];
extern Move mateKillerPrimary[kKillerSlots];
extern Move mateKillerSecondary[kKillerSlots];

// A principal variation: element 0 is the node's own move.
inline constexpr int kMaxPvMoves = 64;
struct PvLine {
  int count;
  Move moves[kMaxPvMoves];
};
extern PvLine rootPV;

// The best score of a list seen one move at a time, and whether another
// move has it too.
class BestScore {
 public:
  void see(int score, int index) {
    if (score < best_) return;
    tie_ = score == best_;
    if (score > best_) best_ = score, index_ = index;
  }
  int uniqueIndex() const { return tie_ ? -1 : index_; }  // -1 for a tie

 private:
  int best_ = INT_MIN, index_ = 0;
  bool tie_ = false;
};

void scoreMoves(int count, Move* moves, const Position& pos, int depth);
// The second half of scoreMoves: the moves a killer, mate killer or the
// previous line may name get their scores anew, with those bonuses. Returns
// the index of the best score when no other move has it, else -1.
int scoreNamedMoves(int count, Move* moves, const Position& pos, int depth);
void scoreCaptures(Move* moves, int count, const Position& pos);
// Shell sort, ascending by score: the searches walk lists from the end.
void sortMoves(Move* moves, int count);

// The same sort without moving the moves: fills `sorted` with the scores
// and list indices in the order sortMoves would leave the moves (equal
// scores included) and returns it.
struct SortEntry {
  int32_t score;
  int32_t index;
};
using SortedList = SortEntry[kMaxMoves];
const SortEntry* sortOrder(const Move* moves, int count, SortedList& sorted);

// The order a search visits a list in, from its end: the list's own order,
// or, for a scored list, the order sortMoves would leave it in. Most nodes
// that sort end after their first move, so that move is found by one scan
// when its score is the list's unique best; a tie for the best (whose order
// only the sort knows) or any later move sorts the list.
class VisitOrder {
 public:
  explicit VisitOrder(int count) : count_(count), last_(count - 1), order_(kListOrder.data()) {}
  VisitOrder(const Move* moves, int count) : VisitOrder(moves, count, uniqueBest(moves, count)) {}
  // With the index of the unique best score already known (-1 for a tie).
  VisitOrder(const Move* moves, int count, int uniqueBest) : moves_(moves), count_(count) {
    last_ = uniqueBest < 0 ? sortAll()[count - 1].index : uniqueBest;
  }
  // The index of the move visited at position i, asked for from count - 1
  // down.
  int operator[](int i) {
    if (i == count_ - 1) return last_;
    return (order_ ? order_ : sortAll())[i].index;
  }

 private:
  static constexpr auto kListOrder = [] {
    std::array<SortEntry, kMaxMoves> order{};
    for (int i = 0; i < kMaxMoves; ++i) order[i] = {0, i};
    return order;
  }();
  const SortEntry* sortAll() { return order_ = sortOrder(moves_, count_, sorted_); }
  static int uniqueBest(const Move* moves, int count) {
    BestScore best;
    for (int i = 0; i < count; ++i) best.see(moves[i].score, i);
    return best.uniqueIndex();
  }

  const Move* moves_ = nullptr;
  int count_;
  int last_;
  const SortEntry* order_ = nullptr;
  SortedList sorted_;
};

}  // namespace mavo
