// Core records of the engine: piece codes, squares of the 10x12 mailbox,
// the move record and the position record.
#pragma once

#include <array>
#include <cstdint>

namespace mavo {

using PieceCode = int32_t;
using PositionKey = uint64_t;

inline constexpr const char* kVersion = "0.0370";

// Piece codes: positive White, negative Black.
inline constexpr PieceCode kEmpty = 0;
inline constexpr PieceCode kPawn = 1;
inline constexpr PieceCode kKnight = 2;
inline constexpr PieceCode kBishop = 3;
inline constexpr PieceCode kRook = 4;
inline constexpr PieceCode kQueen = 5;
inline constexpr PieceCode kKing = 6;
inline constexpr PieceCode kBorder = 7;

// Squares: 10 * row + column; rows 2..9 are ranks 8..1, columns 1..8 files a..h.
// clang-format off
enum Square : int32_t {
  kNoSquare = 0,
  A8 = 21, B8, C8, D8, E8, F8, G8, H8,
  A7 = 31, B7, C7, D7, E7, F7, G7, H7,
  A6 = 41, B6, C6, D6, E6, F6, G6, H6,
  A5 = 51, B5, C5, D5, E5, F5, G5, H5,
  A4 = 61, B4, C4, D4, E4, F4, G4, H4,
  A3 = 71, B3, C3, D3, E3, F3, G3, H3,
  A2 = 81, B2, C2, D2, E2, F2, G2, H2,
  A1 = 91, B1, C1, D1, E1, F1, G1, H1,
};
// clang-format on

inline constexpr int kBoardCells = 120;
inline constexpr int kMaxMoves = 256;        // room of every move list
inline constexpr int kMoveStackSize = 1024;  // moves from one set-up position
// Moves made from outside the search (console, UCI "position", the engine's
// own game moves) stop here, so that a search always has room on the stack.
inline constexpr int kMaxGamePly = kMoveStackSize - 200;

// Move types.
enum MoveType : int32_t {
  Normal = 0,
  WhiteCastleShort = 2,
  WhiteCastleLong = 3,
  BlackCastleShort = 4,
  BlackCastleLong = 5,
  EnPassant = 6,
  WhitePromoQueen = 7,
  WhitePromoRook = 8,
  WhitePromoBishop = 9,
  WhitePromoKnight = 10,
  BlackPromoQueen = 17,
  BlackPromoRook = 18,
  BlackPromoBishop = 19,
  BlackPromoKnight = 20,
};

// Twelve 32-bit words. Generators write words 0..4; move ordering writes
// `score`; the move stack uses the rest for the undo data.
struct Move {
  int32_t from;
  int32_t to;
  int32_t captured;
  int32_t score;
  union {
    int32_t type;      // in a move list
    int32_t undoCode;  // in a move stack entry
  };
  int32_t prevFifty;
  int32_t capturedSlot;
  int32_t prevEpSquare;
  int32_t prevMaterial;
  // Index + 1 of the `moved` flag set because a rook was captured on its
  // castling square; 0 when the capture changed no right.
  int32_t capturedRookFlag;
  PositionKey keyAfter;
};
static_assert(sizeof(Move) == 48, "a move is twelve 32-bit words");

using MoveList = Move[kMaxMoves];

// Indices into Position::moved.
enum MovedFlag : int {
  kMovedWhiteKing = 0,   // K
  kMovedBlackKing = 1,   // k
  kMovedWhiteShort = 2,  // RL: White's h-side rook
  kMovedWhiteLong = 3,   // RR: White's a-side rook
  kMovedBlackShort = 4,  // rL
  kMovedBlackLong = 5,   // rR
};

struct Position {
  int32_t board[kBoardCells];
  int32_t slotAddress[kBoardCells];
  int32_t pieceList[31];
  int32_t pieceCount[11];  // indexed by piece code + 5 (codes -5..5)
  int32_t nullMoveVeto;
  int32_t pawnRankFlag;
  int32_t whiteKing;
  int32_t blackKing;
  int32_t epField;
  int32_t color;  // +1 White to move, -1 Black
  int32_t moved[6];
  PositionKey hashkey;
  // The key's piece and en-passant terms, without the side to move: kept by
  // makeMove and unmakeMove, so that the key of a new position costs a few
  // table lookups. The null move flips `color` alone and leaves it right.
  PositionKey boardKey;
  // Where each side's pawns stand, one bit per square (squareBit), White
  // first: kept by makeMove and unmakeMove for the evaluation and the
  // counting of pawn moves.
  uint64_t pawnMask[2];
  // Where each side's bishops, rooks and queens stand, White first: kept by
  // makeMove and unmakeMove, so that the check and legality tests look only
  // at the sliders on the lines through a square.
  uint64_t sliderSquares[2];
  // Where each side's pieces stand, White first: kept by makeMove and
  // unmakeMove, so that the counting generator takes its free pawns' moves
  // all at once.
  uint64_t occupied[2];
  // Bit i set while piece-list slot i names a square (bit 0 means nothing):
  // kept by makeMove and unmakeMove, so that loops visit only the pieces.
  uint32_t slotMask;
  int32_t material;
  // The evaluation's pawn terms of pawnMask (pawnTerms): kept by makeMove
  // and unmakeMove, recounted only when a pawn moves or is taken. Like the
  // material, the board-only make leaves it as it was.
  int32_t pawnScore;
  int32_t ply;
  int32_t fifty;
};

// Piece-list slot groups.
inline constexpr int kWhitePawnSlots = 1;
inline constexpr int kWhitePieceSlots = 9;
inline constexpr int kBlackPawnSlots = 16;
inline constexpr int kBlackPieceSlots = 24;
inline constexpr int kLastSlot = 30;

inline constexpr int pieceCountIndex(PieceCode c) { return c + 5; }
inline constexpr int squareAt(int file, int rank) { return 10 * (10 - rank) + file; }  // file 1 = a
inline constexpr int fileOf(int sq) { return sq % 10; }                                // 1 = a .. 8 = h
inline constexpr int rankOf(int sq) { return 9 - (sq - 10) / 10; }                     // 1..8
inline constexpr bool isPlayingSquare(int sq) { return sq >= 21 && sq <= 98 && sq % 10 >= 1 && sq % 10 <= 8; }
inline constexpr bool isPromotion(int type) { return type >= 7; }

// Bit 8 * (row - 2) + file - 1 for the square 10 * row + file, so rank 8
// holds bits 0 to 7; zero off the playing squares.
inline constexpr auto squareBit = [] {
  std::array<uint64_t, kBoardCells> bit{};
  for (int s = 0; s < kBoardCells; ++s)
    if (isPlayingSquare(s)) bit[s] = uint64_t{1} << (8 * (s / 10 - 2) + s % 10 - 1);
  return bit;
}();

// The squares s + Step of the squares s of a mask (bits as squareBit), none
// off the board; Step is one of a king's steps.
template <int Step>
constexpr uint64_t stepped(uint64_t mask) {
  constexpr uint64_t fileA = 0x0101010101010101ull, fileH = fileA << 7;
  constexpr int rows = Step > 5 ? 1 : Step < -5 ? -1 : 0;
  constexpr int files = Step - 10 * rows;
  constexpr int shift = 8 * rows + files;
  const uint64_t moved = shift > 0 ? mask << shift : mask >> -shift;
  return files > 0 ? moved & ~fileA : files < 0 ? moved & ~fileH : moved;
}

// Scores.
inline constexpr int kInfinity = 9999999;       // the king's value
inline constexpr int kMateThreshold = 9999935;  // |score| above: a mate score
inline constexpr int matedIn(int ply) { return ply - kInfinity; }
inline constexpr bool isMateScore(int score) { return score > kMateThreshold || score < -kMateThreshold; }

}  // namespace mavo
