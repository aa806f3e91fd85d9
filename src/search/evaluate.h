// Static evaluation: piece values, piece-square tables and pattern terms.
// The bulk of the score is kept incrementally in Position::material, the
// pawn terms in Position::pawnScore.
#pragma once

#include <cstdint>

#include "position/tables.h"

namespace mavo {

// Start values of pieceValue (the configuration file may change them).
void resetPieceValues();

// Recomputes material from the board; may switch a side's king and pawn
// tables to their endgame forms (one way, until the next initPosition).
void prepareEvaluation(Position& pos);

// Score in centipawns from the side to move's point of view.
int evaluate(const Position& pos);

}  // namespace mavo
