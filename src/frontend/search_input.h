// The front ends' input check during a search, handed to the search as its
// hook: what a line that arrives while the engine thinks means.
#pragma once

namespace mavo {

// Polls standard input. Returns 1 when a stop line ("exi", "sto", "pos" or
// "top" at its start) has been read, when input has ended while the search
// has no limit of its own, or when standard output is closed; any other
// line goes to `otherLine` (when given) and is dropped.
int pollSearchInput(void (*otherLine)(const char* line));

// The console's check: other lines are dropped.
int consoleInputCheck();

}  // namespace mavo
