// The boards and the state printouts of the position record.
#pragma once

#include <cstdio>

#include "position/types.h"

namespace mavo {

void printBoard(const Position& pos);
// The bracketed board with its file letters: the grid the UCI debugging
// commands print and log.
void writeBracketedBoard(std::FILE* out, const Position& pos);
void printPosition(const Position& pos);  // the bracketed board with state lines
void logBoard(const Position& pos);       // the bracketed board into the log

// Console debugging printouts.
void printInfo(const Position& pos);
void printStack(const Position& pos);
void printShowPiece(const Position& pos);

}  // namespace mavo
