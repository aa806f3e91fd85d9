// The time a search may take: the values of a UCI "go", its budget, and the
// deadline that every time check compares the clock with.
#pragma once

#include <cstdint>

namespace mavo {

// Budgets of a UCI "go" before the clock values are read: the default that
// tells "no clock given", and "infinite".
inline constexpr int64_t kGoDefaultTime = 6000;
inline constexpr int64_t kInfiniteSearchTime = 9999999999;
// The console's "no time limit" (sd, analyze): a larger number again.
inline constexpr int64_t kNoTimeLimit = 99999999999;

// The limits of a search, one record: the front ends set them (st, sd, go,
// analyze) before they start a search. Time values are milliseconds of the
// clock.
struct SearchLimits {
  int64_t searchTimeLimit = 15000;  // the budget of the next search
  int64_t ponderTimeLimit = 0;      // the last "go" budget, at least 1000
  int64_t searchDeadline = 0;       // the running search stops after this (setDeadline)
  int depthLimit = 64;              // console replies search depths 1 .. depthLimit - 1
  // No limit of its own (analyze, go infinite): the end of input stops it,
  // as no stop line can come any more.
  bool unlimited = false;
};
extern SearchLimits searchLimits;

// The values of a "go" line, read once by the UCI loop.
struct GoValues {
  int whiteTime = 0;
  int blackTime = 0;
  int whiteIncrement = 0;
  int blackIncrement = 0;
  int moveTime = 0;
  int infiniteSearch = 0;
  bool ponder = false;     // the line holds "ponder"
  bool ponderhit = false;  // ... and "ponderhit"
};

// Sets the search's limits for a "go" with these values and this side to
// move: the budget, the ponder budget, the deadline, and whether the
// search is unlimited.
void setUciTimeBudget(const GoValues& go, int color);

// The deadline's one writer: the running search stops at its first time
// check after the clock passes `at` (0: at its next one).
void setDeadline(int64_t at);

}  // namespace mavo
