// The limits of a search: the values of a UCI "go", the time budget they
// give, and the deadline that every time check compares the clock with.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace mavo {

// The budget of a UCI "go" before the clock values are read: it tells "no
// clock given".
inline constexpr int64_t kGoDefaultTime = 6000;
// No time limit (go infinite, a go limited by depth, nodes or mate alone,
// the console's sd and analyze): about 115 days, which no search lasts. The
// log writes it through its low 32 bits, as 1410065407.
inline constexpr int64_t kNoTimeLimit = 9999999999;
// Iterations run to depths below this.
inline constexpr int kIterationBound = 64;
inline constexpr uint64_t kNoNodeLimit = UINT64_MAX;

// The limits of a search, one record: the front ends set them (st, sd, go,
// analyze) before they start a search. Time values are milliseconds of the
// clock.
struct SearchLimits {
  int64_t searchTimeLimit = 15000;    // the budget of the next search
  int64_t ponderTimeLimit = 0;        // the last "go" budget, at least 1000
  int64_t searchDeadline = 0;         // the running search stops after this (setDeadline)
  int depthLimit = kIterationBound;   // iterations run to depths 1 .. depthLimit - 1
  uint64_t nodeLimit = kNoNodeLimit;  // the search stops before it searches more nodes than this
  int mateLimit = 0;                  // stop after an iteration that proves a mate in this many moves or fewer
  // No limit of its own (analyze, go infinite): the end of input stops it,
  // as no stop line can come any more.
  bool unlimited = false;
  // The root moves to search ("go searchmoves"); all when the count is 0.
  int searchMoveCount = 0;
  Move searchMoves[kMaxMoves];
};
extern SearchLimits searchLimits;

// The values of a "go" line, read once by the UCI loop. A depth, node count
// or mate of 0 is no limit.
struct GoValues {
  int whiteTime = 0;
  int blackTime = 0;
  int whiteIncrement = 0;
  int blackIncrement = 0;
  int moveTime = 0;
  int movesToGo = 0;  // read, and left out of the budget
  int infiniteSearch = 0;
  bool timeGiven[2] = {};  // a clock or increment for White [0] and Black [1], or movetime
  int depth = 0;
  uint64_t nodes = 0;
  int mate = 0;
  const Move* searchMoves = nullptr;
  int searchMoveCount = 0;
  bool ponder = false;     // the line holds "ponder"
  bool ponderhit = false;  // ... or "ponderhit"
};

// Sets the search's limits for a "go" with these values and this side to
// move: the budget, the ponder budget, the deadline, the depth, node and
// mate limits, the root moves, and whether the search is unlimited.
void setGoLimits(const GoValues& go, int color);

// The deadline's one writer: the running search stops at its first time
// check after the clock passes `at` (0: at its next one).
void setDeadline(int64_t at);

}  // namespace mavo
