// Attack tests on the bordered board. The border value 7 ends every ray, so
// no bounds checks are needed; trial tests change a few board words and put
// them back before they return.
#pragma once

#include <cstdint>
#include <initializer_list>

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

inline int isAttackedByBlack(const int32_t* b, int s) {
  if (b[s - 12] == -2 || b[s - 19] == -2 || b[s - 21] == -2 || b[s - 8] == -2 || b[s + 12] == -2 ||
      b[s + 19] == -2 || b[s + 21] == -2 || b[s + 8] == -2)
    return 1;
  if (b[s - 9] == -1 || b[s - 11] == -1) return 1;
  if (b[s - 9] == -3 || b[s - 9] == -5) return 1;
  if (b[s - 11] == -6 || b[s - 10] == -6 || b[s - 9] == -6 || b[s - 1] == -6 || b[s + 11] == -6 ||
      b[s + 10] == -6 || b[s + 9] == -6 || b[s + 1] == -6)
    return 1;
  for (int step : {-11, -9, 9, 11}) {
    int t = s + step;
    while (b[t] == 0) t += step;
    if (b[t] == -3 || b[t] == -5) return 1;
  }
  for (int step : {10, -10, 1, -1}) {
    int t = s + step;
    while (b[t] == 0) t += step;
    if (b[t] == -4 || b[t] == -5) return 1;
  }
  return 0;
}

inline int isAttackedByWhite(const int32_t* b, int s) {
  if (b[s + 12] == 2 || b[s + 19] == 2 || b[s + 8] == 2 || b[s + 21] == 2 || b[s - 12] == 2 ||
      b[s - 19] == 2 || b[s - 21] == 2 || b[s - 8] == 2)
    return 1;
  if (b[s + 9] == 1 || b[s + 11] == 1) return 1;
  if (b[s + 9] == 6 || b[s + 10] == 6 || b[s + 11] == 6 || b[s + 1] == 6 || b[s - 9] == 6 ||
      b[s - 10] == 6 || b[s - 1] == 6 || b[s - 11] == 6)
    return 1;
  for (int step : {9, 11, -11, -9}) {
    int t = s + step;
    while (b[t] == 0) t += step;
    if (b[t] == 3 || b[t] == 5) return 1;
  }
  for (int step : {-10, 1, -1, 10}) {
    int t = s + step;
    while (b[t] == 0) t += step;
    if (b[t] == 4 || b[t] == 5) return 1;
  }
  return 0;
}

inline int sideToMoveInCheck(const Position& pos) {
  return pos.color == 1 ? isAttackedByBlack(pos.board, pos.whiteKing)
                        : isAttackedByWhite(pos.board, pos.blackKing);
}

// Would the king of that colour stand attacked after stepping from -> to?
inline int whiteKingStepExposed(Position& pos, int from, int to) {
  int32_t* b = pos.board;
  int32_t savedFrom = b[from], savedTo = b[to];
  int savedKing = pos.whiteKing;
  pos.whiteKing = to;
  b[to] = 6;
  b[from] = 0;
  int r = isAttackedByBlack(b, to);
  pos.whiteKing = savedKing;
  b[from] = savedFrom;
  b[to] = savedTo;
  return r;
}

inline int blackKingStepExposed(Position& pos, int from, int to) {
  int32_t* b = pos.board;
  int32_t savedFrom = b[from], savedTo = b[to];
  int savedKing = pos.blackKing;
  pos.blackKing = to;
  b[to] = -6;
  b[from] = 0;
  int r = isAttackedByWhite(b, to);
  pos.blackKing = savedKing;
  b[from] = savedFrom;
  b[to] = savedTo;
  return r;
}

// Would moving the (non-king) piece from -> to leave the own king attacked?
// A diagonal pawn step onto an empty square is taken for en passant.
inline int whiteMoveExposesKing(Position& pos, int from, int to) {
  int32_t* b = pos.board;
  if (b[from] == 1 && (to - from == -9 || to - from == -11) && b[to] == 0) {
    b[to] = 1;
    b[from] = 0;
    b[to + 10] = 0;
    int r = isAttackedByBlack(b, pos.whiteKing);
    b[from] = 1;
    b[to] = 0;
    b[to + 10] = -1;
    return r;
  }
  int32_t saved = b[to];
  b[to] = b[from];
  b[from] = 0;
  int r = isAttackedByBlack(b, pos.whiteKing);
  b[from] = b[to];
  b[to] = saved;
  return r;
}

inline int blackMoveExposesKing(Position& pos, int from, int to) {
  int32_t* b = pos.board;
  if (b[from] == -1 && (to - from == 9 || to - from == 11) && b[to] == 0) {
    b[to] = -1;
    b[from] = 0;
    b[to - 10] = 0;
    int r = isAttackedByWhite(b, pos.blackKing);
    b[from] = -1;
    b[to] = 0;
    b[to - 10] = 1;
    return r;
  }
  int32_t saved = b[to];
  b[to] = b[from];
  b[from] = 0;
  int r = isAttackedByWhite(b, pos.blackKing);
  b[from] = b[to];
  b[to] = saved;
  return r;
}

// For a side that is not in check, a move of a piece aligned with its own
// king can expose the king only by opening that line: no other attack on the
// king changes. pinningSlider scans the one ray from the king through `from`
// and returns the square of the enemy slider (bishop or queen on a diagonal,
// rook or queen on a rank or file) that stands first behind the piece, or 0.
// With such a slider, the move is safe exactly when `to` stays on the line
// between the king and the slider (the slider's own square included). An en
// passant capture also empties a second square and is never judged this way.
template <int Color>
inline int pinningSlider(const int32_t* b, int king, int from) {
  const int step = lineStep(from, king);
  int t = king + step;
  while (b[t] == 0) t += step;
  if (t != from) return 0;
  t += step;
  while (b[t] == 0) t += step;
  const int32_t c = -Color * b[t];  // positive for an enemy piece
  const bool diagonal = step == 9 || step == -9 || step == 11 || step == -11;
  return c == kQueen || c == (diagonal ? kBishop : kRook) ? t : 0;
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
