#include "search/timeman.h"

#include "platform/platform.h"

namespace mavo {

SearchLimits searchLimits;

void setUciTimeBudget(const GoValues& go, int color) {
  SearchLimits& l = searchLimits;
  l.searchTimeLimit = go.infiniteSearch ? kInfiniteSearchTime : kGoDefaultTime;
  const bool white = color == 1;
  const int clock = white ? go.whiteTime : go.blackTime;
  const int increment = white ? go.whiteIncrement : go.blackIncrement;
  if (go.moveTime == 0 && l.searchTimeLimit == kGoDefaultTime) {
    if (increment && clock)
      l.searchTimeLimit = clock / 40 + increment;
    else if (increment)
      l.searchTimeLimit = increment;
    else
      l.searchTimeLimit = clock / 30;
    // An increment close to the time left would lose on time: the move
    // must be made before the clock runs out, the increment comes after.
    if (clock > 0 && l.searchTimeLimit > clock / 2) l.searchTimeLimit = clock / 2;
  }
  l.ponderTimeLimit = l.searchTimeLimit;
  if (static_cast<uint64_t>(l.ponderTimeLimit) <= 1000) l.ponderTimeLimit = 1000;
  if (go.moveTime) l.searchTimeLimit = go.moveTime;
  if (go.infiniteSearch) l.searchTimeLimit = kInfiniteSearchTime;
  if (go.ponder) l.searchTimeLimit = l.ponderTimeLimit;
  if (go.ponderhit) l.searchTimeLimit = l.ponderTimeLimit;
  l.unlimited = go.infiniteSearch != 0;
  setDeadline(clockMs() + l.searchTimeLimit);
}

void setDeadline(int64_t at) { searchLimits.searchDeadline = at; }

}  // namespace mavo
