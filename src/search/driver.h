// The search driver: time budget and deadline, iterative deepening, the
// input check during a search, progress and result reports.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace mavo {

// Time values in milliseconds.
extern int64_t searchTimeLimit;
extern int64_t ponderTimeLimit;
extern int64_t searchDeadline;
extern int depthLimit;  // console replies search depths 1 .. depthLimit - 1

// Values of the latest UCI "go" line.
extern int whiteTime, blackTime, whiteIncrement, blackIncrement, moveTime;
extern int infiniteSearch;

// Which front end receives the progress output and the input check's
// extra answers.
enum class Reporting { Console, Uci };
extern Reporting reporting;

// Polls standard input during a search. Returns 1 when a stop line
// ("exi", "sto", "pos" or "top" at its start) has been read, or when input
// has ended while the search has no limit of its own, or when standard
// output is closed; other lines are consumed and dropped ("isready" is
// answered in UCI mode).
int checkInput();

// Progress output of the active front end (called by the search).
void printSearchProgress();

// "%7.2f" below 59 seconds, minutes and seconds above.
void printElapsed(double seconds);

// UCI "go": budget from the go values and the line, search, "info" lines,
// "bestmove", and (unless infinite) the move played on the position.
void runUciSearch(Position& pos, const char* goLine);

// The engine's reply at the console. Returns false when the side to move
// has no legal move; otherwise stores the move to play.
bool runConsoleReply(Position& pos, Move& reply);

// Console "analyze": searches without limit until a stop line arrives.
void runAnalysis(Position& pos);

}  // namespace mavo
