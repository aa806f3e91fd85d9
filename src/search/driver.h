// The search driver: the time budget, the input check during a search, and
// one iterative-deepening loop for every caller. The callers (the UCI "go",
// the console's reply and "analyze", the bench) set up their search here,
// hand in how a completed iteration is reported, and write their own texts.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/ordering.h"

namespace mavo {

// Budgets of a UCI "go" before the clock values are read: the default that
// tells "no clock given", and "infinite".
inline constexpr int64_t kGoDefaultTime = 6000;
inline constexpr int64_t kInfiniteSearchTime = 9999999999;
// The console's "no time limit" (sd, analyze): a larger number again.
inline constexpr int64_t kNoTimeLimit = 99999999999;
// Iterations run to depths below this.
inline constexpr int kIterationBound = 64;

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

// Sets searchTimeLimit, ponderTimeLimit and searchDeadline for a "go" with
// these values and this side to move.
void setUciTimeBudget(const GoValues& go, int color);

// Polls standard input during a search. Returns 1 when a stop line ("exi",
// "sto", "pos" or "top" at its start) has been read, when input has ended
// while the search has no limit of its own, or when standard output is
// closed; any other line goes to the front end's hook and is dropped.
int checkInput();

// How a front end reports a completed iteration; the root score is in
// searchState.rootScore.
using IterationReport = void (*)(const Position& root, int depth);

struct Iterations {
  int started;
  int completed;
};

// Iterative deepening from depth 1 while the root has moves, the depth is
// below `depthBound` and no stop has come. The iteration a stop interrupts
// is not reported.
Iterations iterate(Position& pos, int rootMoves, int depthBound, IterationReport report);

// The moves of a line that can be played one after the other from the
// position: a line is cut at its first move that is not legal there.
int playableLength(Position pos, const PvLine& line);

// UCI "go" after its budget: searches and, unless infinite, plays the move
// on the position. False when the root has no legal move; otherwise `best`
// is the move of the last completed iteration (the first legal move when
// none completed).
bool runUciSearch(Position& pos, bool infinite, IterationReport report, Move& best, Iterations& run);

// The engine's reply at the console. False when the side to move has no
// legal move; otherwise stores the move to play.
bool runConsoleReply(Position& pos, IterationReport report, Move& reply);

// Console "analyze": searches without limit until a stop line arrives.
void runAnalysis(Position& pos, IterationReport report);

}  // namespace mavo
