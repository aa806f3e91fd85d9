// The console's move-generator commands: perft, perft2, divide, divide2 and
// the test suite.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace mavo {

// Each of the n moves with its count of the positions `depth` plies below
// the position (depth 1 or more; its own ply is the first). Returns the sum.
uint64_t perftPerMove(Position& pos, const Move* moves, int n, int depth, uint64_t* counts);

// The position is the same afterwards, apart from the key unmakeMove leaves.
void perftCommand(Position& pos, int n);
void perft2Command(Position& pos, int n);
void divideCommand(Position& pos, int n);
void divide2Command(Position& pos, int n);

// Runs "perftsuite.epd" from the working directory, logging to
// "log_epd.txt"; the position ends on the last position of the file.
void runTestSuite(Position& pos);

}  // namespace mavo
