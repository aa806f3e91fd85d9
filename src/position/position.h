// The position record's life: set-up, FEN in both directions, the key, and
// the globals that describe castling geometry and the moves played.
#pragma once

#include <cstddef>

#include "position/types.h"

namespace mavo {

// The record of moves made since the position in play was set up; shared by
// every Position, indexed by that position's `ply`.
extern Move MoveStack[kMoveStackSize];

// Moves made since the root of the current search (stepped by make/unmake).
extern int searchPly;

// Castling geometry, written by the FEN reader: rook home squares in the
// order white long, white short, black long, black short; king home squares
// white, black.
extern int castleRookSquare[4];
extern int castleKingSquare[2];
enum CastleRookIndex { kWhiteLong = 0, kWhiteShort = 1, kBlackLong = 2, kBlackShort = 3 };

extern int chess960Mode;  // 0 standard castling, 1 Chess960 castling

inline constexpr const char* startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Empty bordered board, White to move, rights and counters cleared, opening
// piece-square tables reloaded. Always followed by readFen.
void initPosition(Position& pos);

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

// Key tables and the position key.
extern PositionKey pieceKey[12][kBoardCells];
extern PositionKey epKey[kBoardCells];
extern PositionKey whiteToMoveKey;
extern uint32_t keyRandom;

uint32_t nextKeyRandom();
void initKeyTables();
// The key from scratch, into `hashkey` and `boardKey`.
void computeKey(Position& pos);

// The pawn masks and the slot mask from the board and the piece list.
void computeMasks(Position& pos);

// The key tables as the key functions read them: the value of a piece code
// (offset 8) on a square, zero for an empty square and for the border; the
// en-passant values, zero for "no square".
extern PositionKey squareKey[kBoardCells][16];
extern PositionKey epSquareKey[kBoardCells];
inline PositionKey sideKey(int color) { return whiteToMoveKey & (PositionKey{0} - (color == 1)); }

// Consistency check of the record's invariants (board, piece list, slot
// addresses, counts, kings; the key unless `checkKey` is false). Returns
// nullptr when consistent, else a description of the first fault.
const char* checkPosition(const Position& pos, bool checkKey);

// Debug and sanitizer builds check the record after every make and unmake
// (MAVO_CHECK_POSITION) and stop at the first fault; Release builds never.
#ifdef MAVO_CHECK_POSITION
void failPositionCheck(const char* where, const char* fault);
inline void assertPosition(const Position& pos, bool checkKey, const char* where) {
  if (const char* fault = checkPosition(pos, checkKey)) failPositionCheck(where, fault);
}
#else
inline void assertPosition(const Position&, bool, const char*) {}
#endif

}  // namespace mavo
