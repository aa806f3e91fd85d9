// What the console writes about a search: the table of iterations, one
// line per completed iteration, and the progress line that overwrites
// itself.
#pragma once

#include "position/types.h"

namespace mavo {

// "%7.2f" below 59 seconds, minutes and seconds above.
void printElapsed(double seconds);

// The table header, one line per completed iteration (the reply's and
// analyze's forms of a mate score differ), the progress line.
void printConsoleHeader();
void printReplyLine(const Position& root, int depth);
void printAnalysisLine(const Position& root, int depth);
void printConsoleProgress();

}  // namespace mavo
