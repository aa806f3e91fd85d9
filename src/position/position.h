// The position record's life: set-up and the kept masks, and the globals
// that describe castling geometry and the moves played. FEN is in fen.h,
// the key in key.h, the consistency check in consistency.h.
#pragma once

#include "position/types.h"

namespace mavo {

// The record of moves made since the position in play was set up; shared by
// every Position, indexed by that position's `ply`.
extern Move MoveStack[kMoveStackSize];

// How many MoveStack entries hold a keyAfter of each bucket (its low bits):
// makeMove counts its entry in, unmakeMove out. A search recounts it at its
// root; from there on a bucket below two rules a repetition out.
inline constexpr uint64_t kStackKeyBucketMask = 1023;
extern uint16_t stackKeyCount[kStackKeyBucketMask + 1];

// Moves made since the root of the current search (stepped by make/unmake).
extern int searchPly;

// Castling geometry, written by the FEN reader: rook home squares in the
// order white long, white short, black long, black short; king home squares
// white, black.
extern int castleRookSquare[4];
extern int castleKingSquare[2];
enum CastleRookIndex { kWhiteLong = 0, kWhiteShort = 1, kBlackLong = 2, kBlackShort = 3 };

extern int chess960Mode;  // 0 standard castling, 1 Chess960 castling

// Playing squares 0, border cells 7.
inline constexpr auto kEmptyBoard = [] {
  struct Cells {
    int32_t v[kBoardCells];
  } b{};
  for (int s = 0; s < kBoardCells; ++s) b.v[s] = isPlayingSquare(s) ? kEmpty : kBorder;
  return b;
}();

// Empty bordered board, White to move, rights and counters cleared, opening
// piece-square tables reloaded. Always followed by readFen.
void initPosition(Position& pos);

// The masks make and unmake keep (pawns, sliders, occupied squares, slots)
// from the board and the piece list.
void computeMasks(Position& pos);

}  // namespace mavo
