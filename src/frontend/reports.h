// What the front ends write about a search: the console's table of
// iterations and its progress line, the UCI "info" and "bestmove" lines,
// and their log records.
#pragma once

#include "position/types.h"
#include "search/driver.h"

namespace mavo {

// "%7.2f" below 59 seconds, minutes and seconds above.
void printElapsed(double seconds);

// The console: the table header, one line per completed iteration (the
// reply's and analyze's forms of a mate score differ), the progress line.
void printConsoleHeader();
void printReplyLine(const Position& root, int depth);
void printAnalysisLine(const Position& root, int depth);
void printConsoleProgress();

// UCI: the search's time settings (log), the info line of a completed
// iteration (and its log record), the progress line, the final bestmove
// (and the statistics in the log).
void logTimeSettings(const GoValues& go);
void sendInfoLine(const Position& root, int depth);
void sendCurrMove();
void sendBestMove(bool found, const Move& best, const Iterations& run);
// "bestmove 0000" for a "go" before any position: no search, no statistics.
void sendNoBestMove();

}  // namespace mavo
