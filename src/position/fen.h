// FEN text in both directions.
#pragma once

#include "position/types.h"

namespace mavo {

inline constexpr const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Result of reading a FEN.
enum class FenStatus {
  Ok,
  TooManyPieces,   // more pieces of one side than its slot groups can hold
  KingCount,       // not exactly one king per side
  PawnOnEdgeRank,  // a pawn on the first or last rank
  KingCapturable,  // the side not to move stands in check
};
const char* fenStatusText(FenStatus status);

// Reads a FEN (after leading blanks). A text
// the record cannot hold or that describes no playable position changes
// nothing and is reported by the status; everything else the reader does
// not understand falls back to defaults.
FenStatus readFen(Position& pos, const char* text);

// First four FEN fields followed by a blank; at most 82 characters.
void writeFen(const Position& pos, char* out);

}  // namespace mavo
