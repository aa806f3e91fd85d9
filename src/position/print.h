// Every text form of boards, moves and state for people and the log.
#pragma once

#include "position/types.h"

namespace mavo {

void printSquare(int square);     // "e4"; nothing for a cell off the board
void printPromotion(int type);    // "=Q", "=r", ...; then flushes
void printBoard(const Position& pos);
void printPosition(Position pos);  // bracketed board with state lines
void logBoard(Position pos);       // bracketed board into the log
void printMoveList(Position pos, const Move* moves, int count);

// Console debugging printouts.
void printInfo(const Position& pos);
void printStack(const Position& pos);
void printShowPiece(const Position& pos);
void printSortedMoves(Position& pos);

}  // namespace mavo
