// What the engine needs from the operating system: a steady millisecond
// clock, standard input read line by line with a non-blocking "is input
// waiting" test, and clearing the console.
#pragma once

#include <cstdint>

namespace mavo {

// Once at start-up: standard output written a whole line at a time, each
// line in one write as soon as it ends; a closed output pipe must not kill
// the process.
void platformInit();

// Milliseconds since program start on a steady wall clock.
int64_t clockMs();

// Nonzero when a line (or part of one) can be read now, or when the end of
// input has come and a read would report it. Never blocks.
int inputAvailable();

// Reads one line of standard input into buf: at most cap - 1 characters,
// ending with its newline when one came within them (a longer line is read
// in pieces). A carriage return before a newline is dropped. Returns the
// number of characters stored, or -1 at the end of input.
int readLine(char* buf, int cap);

// Non-blocking readLine for the input check during a search: returns the
// length of a line when a whole one can be read now, 0 when none is
// complete yet (a partial line stays buffered), -1 at the end of input.
int pollLine(char* buf, int cap);

// True once standard output reaches no one any more (the reading end of its
// pipe was closed, the terminal hung up). Never blocks. On Windows it first
// hands over a started line (a prompt): the loops ask before they wait for
// input.
bool outputClosed();

// Clears the console window when standard output is one; prints nothing
// otherwise.
void clearConsole();

}  // namespace mavo
