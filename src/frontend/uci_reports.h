// What the UCI loop sends about a search, and the log records of the same
// texts: one writer each, handed the stream it writes to.
#pragma once

#include "position/types.h"
#include "search/driver.h"

namespace mavo {

// The search's time settings (log), the info line of a completed
// iteration (and its log record), the progress line, the final bestmove
// (and the statistics in the log).
void logTimeSettings(const GoValues& go);
void sendInfoLine(const Position& root, int depth);
void sendCurrMove();
void sendBestMove(bool found, const Move& best, const Iterations& run);
// "bestmove 0000" for a "go" before any position: no search, no statistics.
void sendNoBestMove();

}  // namespace mavo
