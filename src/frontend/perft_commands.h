// The console's move-generator commands: perft, perft2, divide, divide2 and
// the test suite.
#pragma once

#include "position/types.h"

namespace mavo {

// The position is the same afterwards, apart from the key unmakeMove leaves.
void perftCommand(Position& pos, int n);
void perft2Command(Position& pos, int n);
void divideCommand(Position& pos, int n);
void divide2Command(Position& pos, int n);

// Runs "perftsuite.epd" from the working directory, logging to
// "log_epd.txt"; the position ends on the last position of the file.
void runTestSuite(Position& pos);

}  // namespace mavo
