// What the engine needs from the operating system: a steady millisecond
// clock, standard input read line by line with a non-blocking "is input
// waiting" test, and clearing the console.
#pragma once

#include <cstdint>
#include <cstdio>

namespace mavo {

// Once at start-up: standard output written a whole line at a time, each
// line in one write as soon as it ends; a closed output pipe must not kill
// the process.
void platformInit();

// Milliseconds since program start on a steady wall clock.
int64_t clockMs();

// Nonzero when input that no search has looked at yet can be read now, or
// when the end of input has come and a read would report it. Never blocks.
int inputAvailable();

// Reads one line of standard input into buf: at most cap - 1 characters,
// ending with its newline when one came within them (a longer line is read
// in pieces). A carriage return before a newline is dropped. Returns the
// number of characters stored, or -1 at the end of input. Lines a search
// has set aside come first, in the order they arrived.
int readLine(char* buf, int cap);
// Whether the line readLine returned last had been set aside by a search
// (and so was already seen, and logged, while the search ran).
bool lastLineWasSetAside();

// What a search sees of its input. peekLine looks at the next line after
// the set-aside ones, without its line end, and never blocks: 1 when a
// whole line has come, 0 when none has yet, -1 at the end of input, -2 when
// the set-aside lines fill the input buffer (only the command loop can make
// room). The text is valid until the next call. After a 1 the search either
// takes the line (it is gone) or sets it aside for the command loop.
int peekLine(const char** text, int* length);
void takePeekedLine();
void setPeekedLineAside();

// An open text file read line by line as readLine reads standard input.
// One file at a time: startFileLines begins it, readFileLine returns -1
// after its last line.
void startFileLines(std::FILE* file);
int readFileLine(char* buf, int cap);

// True once standard output reaches no one any more (the reading end of its
// pipe was closed, the terminal hung up). Never blocks. On Windows it first
// hands over a started line (a prompt): the loops ask before they wait for
// input.
bool outputClosed();

// Clears the console window when standard output is one; prints nothing
// otherwise.
void clearConsole();

}  // namespace mavo
