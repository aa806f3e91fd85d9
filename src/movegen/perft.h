// Node counts of the legal move tree: perft, divide and the test suite.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace mavo {

extern uint64_t perftAccumulator;
extern uint64_t perftTotal;
extern uint64_t perftTotalShort;
extern uint64_t divideTotalsDeep[kMaxMoves];
extern uint64_t divideTotalsShallow[kMaxMoves];

// Returns the number of legal moves and adds the node counts of depths 2 to
// d + 1 below the position to perftAccumulator.
int perftCount(Position& pos, int d);

// perftTotal = nodes at depths 1..d+1, perftTotalShort = nodes at 1..d.
void perftRun(Position& pos, int d);

// The console commands; the position is the same afterwards.
void perftCommand(Position& pos, int n);
void perft2Command(Position& pos, int n);
void divideCommand(Position& pos, int n);
void divide2Command(Position& pos, int n);

// Runs "perftsuite.epd" from the working directory, logging to
// "log_epd.txt"; the position ends on the last position of the file.
void runTestSuite(Position& pos);

}  // namespace mavo
