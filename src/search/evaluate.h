// Static evaluation: piece values, piece-square tables and pattern terms.
// The bulk of the score is kept incrementally in Position::material.
#pragma once

#include "position/types.h"

namespace mavo {

// Piece values and the live tables, indexed by piece code -7..7.
extern int32_t pieceValueStore[15];
extern int32_t pieceSquareStore[15][kBoardCells];
extern int32_t orderingSquareStore[15][kBoardCells];
inline constexpr int32_t* pieceValue = pieceValueStore + 7;
inline constexpr int32_t (*pieceSquare)[kBoardCells] = pieceSquareStore + 7;
inline constexpr int32_t (*orderingSquare)[kBoardCells] = orderingSquareStore + 7;

// Start values of pieceValue (the configuration file may change them).
void resetPieceValues();

// Opening tables into both pieceSquare and orderingSquare.
void loadPieceSquareTables();

// Recomputes material from the board; may switch a side's king and pawn
// tables to their endgame forms (one way, until the next initPosition).
void prepareEvaluation(Position& pos);

// Score in centipawns from the side to move's point of view.
int evaluate(const Position& pos);

}  // namespace mavo
