// The search driver: one iterative-deepening loop for every caller. The
// callers (the UCI "go", the console's reply and "analyze", the bench) set
// up their search here within the limits of searchLimits, hand in how a
// completed iteration is reported, and write their own texts.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/ordering.h"
#include "search/timeman.h"

namespace mavo {

// How a front end reports a completed iteration; the root score is in
// searchState.rootScore.
using IterationReport = void (*)(const Position& root, int depth);

struct Iterations {
  int started;
  int completed;
};

// Iterative deepening from depth 1 while the root has moves, the depth is
// below `depthBound`, no stop has come and no mate within the mate limit
// has been found. The iteration a stop interrupts is not reported.
Iterations iterate(Position& pos, int rootMoves, int depthBound, IterationReport report);

// Milliseconds since the first iteration of the search began.
int64_t searchElapsedMs();

// The moves of a line that can be played one after the other from the
// position: a line is cut at its first move that is not legal there.
int playableLength(Position pos, const PvLine& line);

// UCI "go" after its limits (setGoLimits): searches the root moves the
// limits allow and, unless the search is unlimited, plays the move on the
// position. False when the root has no legal move; otherwise `best` is the
// move of the last completed iteration (the first allowed move when none
// completed).
bool runUciSearch(Position& pos, IterationReport report, Move& best, Iterations& run);

// The engine's reply at the console. False when the side to move has no
// legal move; otherwise stores the move to play.
bool runConsoleReply(Position& pos, IterationReport report, Move& reply);

// Console "analyze": searches within the limits the console sets for it
// (none: until a stop line arrives).
void runAnalysis(Position& pos, IterationReport report);

}  // namespace mavo
