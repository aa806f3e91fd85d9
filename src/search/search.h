// The alpha-beta and quiescence searches, draw detection, and the records a
// search runs on: its state and what the front end hands it (its limits are
// in timeman.h).
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/ordering.h"
#include "search/timeman.h"

namespace mavo {

// When the searches read the clock and the input: every kTimeCheckInterval
// nodes of their own, the first time after a countdown that the caller
// sets (kFirstTimeCheck...). The alpha-beta search writes its progress line
// every kProgressInterval nodes, in UCI mode first after kFirstProgressUci.
inline constexpr int kTimeCheckInterval = 1024;
inline constexpr int kFirstTimeCheckUci = 256;
inline constexpr int kFirstTimeCheckReply = 16384;
inline constexpr int kFirstTimeCheckAnalysis = 4096;
inline constexpr int kProgressInterval = 262144;
inline constexpr int kFirstProgressUci = 16384;

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

// What a front end hands the search: its progress line (every
// kProgressInterval alpha-beta nodes) and its input check (at every time check, after the
// clock is read), which returns 1 when a stop has come.
struct SearchHooks {
  void (*progress)() = nullptr;
  int (*inputCheck)() = nullptr;
};
extern SearchHooks searchHooks;

// Forgets everything an earlier search left behind that a later one reads
// (killers, the last line, the state with its countdowns), as a new game
// in a fresh program starts.
void clearSearchMemory();

// clearSearchMemory, and lifts every limit: the search never reads the
// clock or the input and reports nothing. The fixed-depth bench and the
// tests start from here.
void resetSearchForFixedDepth();

// Keeps the root moves the front end named (searchLimits.searchMoves), in
// their order; all of them when it named none. Returns the count.
int restrictRootMoves(Move* moves, int n);

// Moves to a mate from a mate score, counted as UCI does: the moves of the
// side that mates (1 for a mate in one, and for being mated in one).
inline constexpr int mateDistance(int score) {
  return score > 0 ? (kInfinity - score) / 2 + 1 : (kInfinity + score) / 2;
}

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
