#include "movegen/attack.h"

#include <cstdlib>

#include "position/position.h"

namespace mavo {

uint8_t AlignmentTable[99 * 99];

void buildAlignmentTable() {
  for (int a = 0; a < 99; ++a) {
    for (int k = 0; k < 99; ++k) {
      uint8_t code = 0;
      if (a != k && isPlayingSquare(a) && isPlayingSquare(k)) {
        int d = std::abs(a - k);
        bool sameRank = a / 10 == k / 10;
        bool sameFile = a % 10 == k % 10;
        int rows = std::abs(a / 10 - k / 10), cols = std::abs(a % 10 - k % 10);
        if (sameRank || sameFile || rows == cols) {
          if (d < 8)
            code = 1;
          else if (d % 10 == 0)
            code = 10;
          else if (d % 9 == 0)
            code = 9;
          else if (d % 11 == 0)
            code = 11;
        }
      }
      AlignmentTable[a * 99 + k] = code;
    }
  }
}

namespace {

// Chess960 castling for one side. Squares are given by file: rank base 90
// for White, 20 for Black; f(1) = a-file ... f(8) = h-file.
template <int Side>
struct Castle960 {
  static constexpr int kBase = Side == 0 ? 90 : 20;
  static constexpr int32_t kRookCode = Side == 0 ? kRook : -kRook;
  static constexpr int32_t kKingCode = Side == 0 ? kKing : -kKing;
  static constexpr int f(int file) { return kBase + file; }
  static int attacked(const int32_t* b, int s) { return Side == 0 ? isAttackedByBlack(b, s) : isAttackedByWhite(b, s); }
  static int kingHome() { return castleKingSquare[Side]; }

  static int shortSide(Position& pos) {
    int32_t* b = pos.board;
    int K = kingHome(), R = castleRookSquare[Side == 0 ? kWhiteShort : kBlackShort];
    if (attacked(b, f(7))) return 0;
    if (K == f(7) && R == f(8)) return b[f(6)] == 0;
    b[R] = 0;
    int ok = 1;
    for (int s = K + 1; s <= f(7) && ok; ++s)
      if (b[s] != 0) ok = 0;
    for (int s = K + 1; s <= f(6) && ok; ++s)
      if (attacked(b, s)) ok = 0;
    b[R] = kRookCode;
    return ok;
  }

  static int longSide(Position& pos) {
    int32_t* b = pos.board;
    int K = kingHome(), R = castleRookSquare[Side == 0 ? kWhiteLong : kBlackLong];
    // The king's destination is tested with the castling rook lifted: an
    // enemy slider behind that rook would see the king once the rook has gone.
    b[R] = 0;
    int destinationAttacked = attacked(b, f(3));
    b[R] = kRookCode;
    if (destinationAttacked) return 0;
    if (K == f(2) && R == f(1)) return b[f(3)] == 0 && b[f(4)] == 0;
    if (K == f(3)) {
      if (R == f(2)) return b[f(4)] == 0;
      if (R == f(1)) return b[f(2)] == 0 && b[f(4)] == 0;
    }
    b[K] = 0;
    b[R] = 0;
    int ok = 1;
    if (R > f(4)) {
      for (int s = f(4); s <= R - 1 && ok; ++s)
        if (b[s] != 0) ok = 0;
    } else {
      for (int s = R + 1; s <= f(4) && ok; ++s)
        if (b[s] != 0) ok = 0;
    }
    if (K > f(3))
      for (int s = f(3); s <= K - 1 && ok; ++s)
        if (b[s] != 0) ok = 0;
    if (K > f(4))
      for (int s = f(4); s <= K - 1 && ok; ++s)
        if (attacked(b, s)) ok = 0;
    b[K] = kKingCode;
    b[R] = kRookCode;
    return ok;
  }
};

}  // namespace

int canCastle960WhiteShort(Position& pos) { return Castle960<0>::shortSide(pos); }
int canCastle960WhiteLong(Position& pos) { return Castle960<0>::longSide(pos); }
int canCastle960BlackShort(Position& pos) { return Castle960<1>::shortSide(pos); }
int canCastle960BlackLong(Position& pos) { return Castle960<1>::longSide(pos); }

}  // namespace mavo
