// The alpha-beta and quiescence searches, draw detection, and the records a
// search runs on: its limits, its state and what the front end hands it.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/ordering.h"

namespace mavo {

// Time values are milliseconds of the program's clock.
struct SearchLimits {
  int64_t searchTimeLimit = 15000;  // the budget of the next search
  int64_t ponderTimeLimit = 0;      // the last "go" budget, at least 1000
  int64_t searchDeadline = 0;       // the running search stops after this
  int depthLimit = 64;              // console replies search depths 1 .. depthLimit - 1
  // No limit of its own (analyze, go infinite): the end of input stops it,
  // as no stop line can come any more.
  bool unlimited = false;
};
extern SearchLimits searchLimits;

struct SearchState {
  int iterationDepth = 0;
  uint64_t nodes = 0;    // moves made at alpha-beta nodes
  uint64_t qsNodes = 0;  // quiescence nodes below the latest alpha-beta node
  int nullMoveCalls = 0;
  int nullMoveCutoffs = 0;
  int firstMoveCutoffs = 0;
  int otherCutoffs = 0;
  // Nodes until the next time check and the next progress line. A new
  // program starts at 0: its first search checks and reports at once.
  int searchCountdown = 0;
  int progressCountdown = 0;
  int qsCountdown = 0;
  int stopFlag = 0;
  int selDepth = 0;
  int lastImprovedScore = 0;
  Move rootBestMove{};
  int rootMoveCount = 0;
  int rootMoveNumber = 0;
  Move currentRootMove{};
  // The driver's: the clock when the first iteration began, the value of
  // the last root search, the best move of the last completed iteration.
  int64_t searchStart = 0;
  int rootScore = 0;
  Move savedBestMove{};
};
extern SearchState searchState;

// What a front end hands the search: its progress line (every 262144
// alpha-beta nodes) and what a line read during the search means when it is
// no stop line.
struct SearchHooks {
  void (*progress)() = nullptr;
  void (*otherLine)(const char* line) = nullptr;
};
extern SearchHooks searchHooks;

// Clears everything a search reads that an earlier one may have left
// behind (state, killers, lines) and lifts every limit: the search never
// reads the clock or the input and reports nothing. The fixed-depth bench
// and the tests start from here.
void resetSearchForFixedDepth();

// Moves to a mate from a mate score (1 for a mate in one).
inline constexpr int mateDistance(int score) { return (kInfinity - (score > 0 ? score : -score)) / 2 + 1; }

// 1 when the position is drawn by the fifty-move rule or stands for the
// third time (same side to move).
int checkfordraw(const Position& pos);

// Depth of the quiescence search's null-move child, or 0 when a node at
// this depth makes no null move.
constexpr int quiesceNullMoveDepth(int qsDepth) {
  return qsDepth > 3 ? qsDepth - 3 - (qsDepth > 5) - (qsDepth > 7) : 0;
}

int alphaBeta(Position& pos, int alpha, int beta, int nodePly, int depth, PvLine& pv, int internalSearch);
int quiesce(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv);

}  // namespace mavo
