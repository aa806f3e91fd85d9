#include "search/timeman.h"

#include "platform/platform.h"

namespace mavo {

SearchLimits searchLimits;

namespace {

// The budget of the clock values: clock / 40 + increment, the increment
// alone without a clock, clock / 30 without an increment; never more than
// half the clock. In 64 bits: any two numbers of a line add up safely.
int64_t clockBudget(int64_t clock, int64_t increment) {
  int64_t budget;
  if (increment && clock)
    budget = clock / 40 + increment;
  else if (increment)
    budget = increment;
  else
    budget = clock / 30;
  // An increment close to the time left would lose on time: the move must
  // be made before the clock runs out, the increment comes after.
  if (clock > 0 && budget > clock / 2) budget = clock / 2;
  return budget;
}

}  // namespace

void setGoLimits(const GoValues& go, int color) {
  SearchLimits& l = searchLimits;
  const bool white = color == 1;
  l.searchTimeLimit = go.infiniteSearch ? kNoTimeLimit : kGoDefaultTime;
  if (go.moveTime == 0 && l.searchTimeLimit == kGoDefaultTime)
    l.searchTimeLimit =
        white ? clockBudget(go.whiteTime, go.whiteIncrement) : clockBudget(go.blackTime, go.blackIncrement);
  l.ponderTimeLimit = l.searchTimeLimit;
  if (static_cast<uint64_t>(l.ponderTimeLimit) <= 1000) l.ponderTimeLimit = 1000;
  if (go.moveTime) l.searchTimeLimit = go.moveTime;
  // Without time for the side to move, a depth, node or mate limit is the
  // search's only end.
  if (!go.timeGiven[white ? 0 : 1] && (go.depth || go.nodes || go.mate)) l.searchTimeLimit = kNoTimeLimit;
  if (go.infiniteSearch) l.searchTimeLimit = kNoTimeLimit;
  if (go.ponder) l.searchTimeLimit = l.ponderTimeLimit;
  if (go.ponderhit) l.searchTimeLimit = l.ponderTimeLimit;
  l.unlimited = go.infiniteSearch != 0;
  l.depthLimit = go.depth > 0 && go.depth < kIterationBound ? go.depth + 1 : kIterationBound;
  l.nodeLimit = go.nodes ? go.nodes : kNoNodeLimit;
  l.mateLimit = go.mate > 0 ? go.mate : 0;
  l.searchMoveCount = go.searchMoveCount;
  for (int i = 0; i < go.searchMoveCount; ++i) l.searchMoves[i] = go.searchMoves[i];
  setDeadline(clockMs() + l.searchTimeLimit);
}

void setDeadline(int64_t at) { searchLimits.searchDeadline = at; }

}  // namespace mavo
