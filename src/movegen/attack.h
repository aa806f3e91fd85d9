// Legality tests of the move generator: the alignment table, the trial
// tests of a move or a king step, pins and the Chess960 castling tests. The
// trials change a few board words and put them back before they return.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "position/board_attacks.h"
#include "position/types.h"

namespace mavo {

// Nonzero when a queen on one square would see the other on an empty board;
// the value is the line's step length (1 rank, 10 file, 9 or 11 diagonal).
extern uint8_t AlignmentTable[99 * 99];
void buildAlignmentTable();
inline bool aligned(int a, int k) { return AlignmentTable[a * 99 + k] != 0; }
// The step that leads from k toward a along their line; 0 when not aligned.
inline int lineStep(int a, int k) {
  int code = AlignmentTable[a * 99 + k];
  return a > k ? code : -code;
}

// Two playing squares are neighbours exactly when they differ by one of the
// eight king steps.
inline bool kingStepApart(int a, int s) {
  const unsigned d = static_cast<unsigned>(a - s + 11);
  return d <= 22 && ((0x701407u >> d) & 1);
}

// Would moving Color's (non-king) piece from -> to leave its king attacked?
// A diagonal pawn step onto an empty square is taken for en passant.
template <int Color>
inline int moveExposesKing(Position& pos, int from, int to) {
  constexpr int32_t pawn = Color * kPawn;
  int32_t* b = pos.board;
  const int king = Color == 1 ? pos.whiteKing : pos.blackKing;
  if (b[from] == pawn && (to - from == -Color * 9 || to - from == -Color * 11) && b[to] == 0) {
    const int victim = to + Color * 10;
    b[to] = pawn;
    b[from] = 0;
    b[victim] = 0;
    int r = isAttackedBy<-Color>(b, king);
    b[from] = pawn;
    b[to] = 0;
    b[victim] = -pawn;
    return r;
  }
  int32_t saved = b[to];
  b[to] = b[from];
  b[from] = 0;
  int r = isAttackedBy<-Color>(b, king);
  b[from] = b[to];
  b[to] = saved;
  return r;
}

inline int whiteMoveExposesKing(Position& pos, int from, int to) { return moveExposesKing<1>(pos, from, to); }
inline int blackMoveExposesKing(Position& pos, int from, int to) { return moveExposesKing<-1>(pos, from, to); }

// The pieces pinned to a king: each one's square and the square of the enemy
// slider behind it.
struct Pins {
  int count;
  int piece[8];
  int pinner[8];
  int checkers;       // enemy sliders giving check along the king's lines
  int checkerSquare;  // the last of them
  int pinnerOf(int square) const {
    for (int i = 0; i < count; ++i)
      if (piece[i] == square) return pinner[i];
    return 0;
  }
};

namespace detail {
// One of the king's lines: true when an enemy slider attacks the king along
// it; records a pin when the first piece is the king's own and the next one
// an enemy slider that moves along the line.
template <int Color, int Step>
inline bool scanKingLine(const int32_t* b, int king, Pins& pins) {
  constexpr bool diagonal = Step == 9 || Step == -9 || Step == 11 || Step == -11;
  constexpr int32_t slider = -Color * (diagonal ? kBishop : kRook), queen = -Color * kQueen;
  int t = king + Step;
  while (b[t] == 0) t += Step;
  if (b[t] == slider || b[t] == queen) {
    ++pins.checkers;
    pins.checkerSquare = t;
    return true;
  }
  const int32_t own = Color * b[t];
  if (own < kPawn || own > kQueen) return false;  // an enemy or the border
  const int piece = t;
  t += Step;
  while (b[t] == 0) t += Step;
  if (b[t] == slider || b[t] == queen) {
    pins.piece[pins.count] = piece;
    pins.pinner[pins.count++] = t;
  }
  return false;
}
}  // namespace detail

// The squares on a queen's lines from a square (none off the board), and
// the square of each bit of squareBit.
inline constexpr auto kQueenLines = [] {
  std::array<uint64_t, kBoardCells> lines{};
  for (int s = 0; s < kBoardCells; ++s)
    for (int t = 0; t < kBoardCells; ++t) {
      if (!isPlayingSquare(s) || !isPlayingSquare(t) || s == t) continue;
      const int rows = s / 10 - t / 10, files = s % 10 - t % 10;
      if (!rows || !files || rows == files || rows == -files) lines[s] |= squareBit[t];
    }
  return lines;
}();
inline constexpr auto kBitSquare = [] {
  std::array<uint8_t, 64> square{};
  for (int i = 0; i < 64; ++i) square[i] = static_cast<uint8_t>(21 + 10 * (i / 8) + i % 8);
  return square;
}();

// The squares a king's step or a knight's jump from a square reaches.
template <std::size_t N>
constexpr std::array<uint64_t, kBoardCells> squaresByStep(const int (&steps)[N]) {
  std::array<uint64_t, kBoardCells> squares{};
  for (int s = 0; s < kBoardCells; ++s)
    for (int step : steps)
      if (isPlayingSquare(s) && s + step >= 0 && s + step < kBoardCells) squares[s] |= squareBit[s + step];
  return squares;
}
// In the order the generator lists the king's and the knights' moves.
inline constexpr int kKingStepList[] = {1, -1, 10, -10, 9, -9, 11, -11};
inline constexpr int kKnightJumpList[] = {19, -19, 8, -8, 12, -12, 21, -21};
inline constexpr auto kKingStepSquares = squaresByStep(kKingStepList);
inline constexpr auto kKnightJumpSquares = squaresByStep(kKnightJumpList);

// The squares from a square along Step to the board's edge, the square
// itself left out, and their count.
template <int Step>
inline constexpr auto kRaySquares = [] {
  std::array<uint64_t, kBoardCells> ray{};
  for (int s = 0; s < kBoardCells; ++s)
    if (isPlayingSquare(s))
      for (int t = s + Step; isPlayingSquare(t); t += Step) ray[s] |= squareBit[t];
  return ray;
}();
template <int Step>
inline constexpr auto kRayLength = [] {
  std::array<uint8_t, kBoardCells> length{};
  for (int s = 0; s < kBoardCells; ++s) length[s] = static_cast<uint8_t>(std::popcount(kRaySquares<Step>[s]));
  return length;
}();

// The squares next to a square, and all the squares, along the given
// steps.
template <int... Steps>
inline constexpr auto kNextSquares = [] {
  std::array<uint64_t, kBoardCells> next{};
  for (int s = 0; s < kBoardCells; ++s)
    if (isPlayingSquare(s)) next[s] = (squareBit[s + Steps] | ...);
  return next;
}();
template <int... Steps>
inline constexpr auto kLineSquares = [] {
  std::array<uint64_t, kBoardCells> line{};
  for (int s = 0; s < kBoardCells; ++s) line[s] = (kRaySquares<Steps>[s] | ...);
  return line;
}();

// The bit of the first square in a nonempty set of squares on one ray from
// a square: the lowest for a step toward rank 1 or the h-file, the highest
// otherwise.
template <int Step>
inline int nearestBit(uint64_t squares) {
  return Step > 0 ? std::countr_zero(squares) : 63 - std::countl_zero(squares);
}

// Calls visit(square, line code) for each bishop, rook and queen of the side
// playing against Color that stands on one of the lines through s and moves
// along it (whatever stands between), until a call returns true.
template <int Color, typename Visit>
inline bool someEnemySliderOnLines(const Position& pos, int s, Visit visit) {
  const uint8_t* line = AlignmentTable + s * 99;  // the table is symmetric
  for (uint64_t bits = pos.sliderSquares[Color == 1 ? 1 : 0] & kQueenLines[s]; bits; bits &= bits - 1) {
    const int q = kBitSquare[std::countr_zero(bits)], code = line[q];
    const int32_t kind = -Color * pos.board[q];
    if (kind == kQueen || kind == (code == 9 || code == 11 ? kBishop : kRook))
      if (visit(q, code)) return true;
  }
  return false;
}

// The lines from the king on which an enemy slider stands that moves along
// them (whatever stands between): bit step + 11 for each such step. Only
// these lines can give check or hold a pin.
template <int Color>
inline uint32_t enemySliderLines(const Position& pos, int king) {
  uint32_t lines = 0;
  someEnemySliderOnLines<Color>(pos, king, [&](int q, int code) {
    lines |= 1u << ((q > king ? code : -code) + 11);
    return false;
  });
  return lines;
}

// Would an enemy slider attack the king stepping from `from` to `to`? The
// king's own square no longer blocks a line; a slider on `to` is taken by
// the step.
template <int Color>
inline bool slidersAttackStep(const Position& pos, int from, int to) {
  const int32_t* b = pos.board;
  return someEnemySliderOnLines<Color>(pos, to, [&](int q, int code) {
    const int step = q > to ? code : -code;
    int t = to + step;
    while (b[t] == 0 || t == from) t += step;
    return t == q;
  });
}

template <int Color>
inline bool slidersGiveCheck(const Position& pos, int king) {
  const int32_t* b = pos.board;
  return someEnemySliderOnLines<Color>(pos, king, [&](int q, int code) {
    const int step = q > king ? code : -code;
    int t = king + step;
    while (b[t] == 0) t += step;
    return t == q;
  });
}

// The attack test on the king of the side to move, with the enemy king found
// by its square and the enemy sliders through the piece list.
// Knights are looked for only while the enemy has one.
template <int Color>
inline int inCheck(const Position& pos, int king, int enemyKing) {
  const bool knights = pos.pieceCount[pieceCountIndex(-Color * kKnight)] != 0;
  return (knights ? attackedByKnightOrPawn<-Color>(pos.board, king) : attackedByPawn<-Color>(pos.board, king)) ||
         kingStepApart(enemyKing, king) || slidersGiveCheck<Color>(pos, king);
}
inline int sideToMoveInCheck(const Position& pos) {
  return pos.color == 1 ? inCheck<1>(pos, pos.whiteKing, pos.blackKing)
                        : inCheck<-1>(pos, pos.blackKing, pos.whiteKing);
}

// A move of a piece aligned with its own king, the king not in check, can
// expose the king only by opening that line: no other attack on the king
// changes. So the trial of such a move needs only the king's eight lines: a
// piece can expose the king when it is the first piece on its line and the
// next one behind it is an enemy slider that moves along the line (bishop or
// queen on a diagonal, rook or queen on a rank or file). scanKingLines scans
// the lines that hold such a slider once, records these pins and answers
// whether an enemy slider gives check, the part of the in-check test that
// reads the same lines. A pinned piece's move keeps the king safe exactly
// when it stays between the king and the slider (staysOnPinLine). An en
// passant capture also empties a second square and is never judged this way.
template <int Color>
inline bool scanKingLines(const Position& pos, int king, Pins& pins) {
  using detail::scanKingLine;
  pins.count = pins.checkers = 0;
  const uint32_t lines = enemySliderLines<Color>(pos, king);
  if (!lines) return false;
  const int32_t* b = pos.board;
  bool check = false;
  if (lines & (1u << (1 + 11))) check |= scanKingLine<Color, 1>(b, king, pins);
  if (lines & (1u << (-1 + 11))) check |= scanKingLine<Color, -1>(b, king, pins);
  if (lines & (1u << (10 + 11))) check |= scanKingLine<Color, 10>(b, king, pins);
  if (lines & (1u << (-10 + 11))) check |= scanKingLine<Color, -10>(b, king, pins);
  if (lines & (1u << (9 + 11))) check |= scanKingLine<Color, 9>(b, king, pins);
  if (lines & (1u << (-9 + 11))) check |= scanKingLine<Color, -9>(b, king, pins);
  if (lines & (1u << (11 + 11))) check |= scanKingLine<Color, 11>(b, king, pins);
  if (lines & (1u << (-11 + 11))) check |= scanKingLine<Color, -11>(b, king, pins);
  return check;
}

inline bool staysOnPinLine(int king, int pinner, int to) {
  const int step = lineStep(pinner, king);
  return lineStep(to, king) == step && (to - pinner) * step <= 0;
}

// Chess960 castling: empty and unattacked squares, as far as the king and
// the castling rook's paths go (the caller has excluded check).
int canCastle960WhiteShort(Position& pos);
int canCastle960WhiteLong(Position& pos);
int canCastle960BlackShort(Position& pos);
int canCastle960BlackLong(Position& pos);

}  // namespace mavo
