#include "search/evaluate.h"

#include <cstdint>
#include <cstring>

namespace mavo {

namespace {

// clang-format off

constexpr Grid kWhitePawnEndgame = {
    0,  0,  0,  0,  0,  0,  0,  0,   //
    30, 48, 48, 50, 50, 48, 48, 30,  //
    28, 34, 35, 35, 35, 35, 34, 28,  //
    9,  11, 18, 25, 25, 18, 11, 9,   //
    7,  7,  14, 20, 20, 14, 7,  7,   //
    5,  5,  7,  12, 12, 7,  5,  5,   //
    3,  3,  4,  0,  0,  4,  3,  3,   //
    0,  0,  0,  0,  0,  0,  0,  0,
};
constexpr Grid kWhiteKingEndgame = {
    0, 0, 0,  0,  0,  0,  0, 0,  //
    0, 2, 4,  5,  5,  4,  2, 0,  //
    0, 7, 10, 12, 12, 10, 7, 0,  //
    1, 4, 12, 15, 15, 12, 4, 1,  //
    1, 4, 10, 10, 10, 10, 4, 1,  //
    1, 4, 6,  7,  7,  6,  4, 1,  //
    0, 2, 4,  5,  5,  4,  2, 0,  //
    0, 0, 1,  2,  2,  1,  0, 0,
};
// clang-format on

constexpr Table kWhitePawnEnd = toMailbox(kWhitePawnEndgame, false);
constexpr Table kWhiteKingEnd = toMailbox(kWhiteKingEndgame, false);
constexpr Table kBlackPawnEnd = toMailbox(kWhitePawnEndgame, true);
constexpr Table kBlackKingEnd = toMailbox(kWhiteKingEndgame, true);

// clang-format off
constexpr int32_t kStartValues[15] = {0,   -kInfinity, -900, -500, -325, -300, -100, 0,
                                      100, 300,        325,  500,  900,  kInfinity, 0};
// clang-format on

// A side without a queen, or with less than this in pieces and pawns, lets
// the other side's king and pawns play by their endgame tables.
constexpr int kEndgameMaterial = 1500;

}  // namespace

void resetPieceValues() { std::memcpy(pieceValueStore, kStartValues, sizeof pieceValueStore); }

void prepareEvaluation(Position& pos) {
  int material = 0;
  bool whiteQueen = false, blackQueen = false;
  int whiteSum = 0, blackSum = 0;
  for (int s = A8; s <= H1; ++s) {
    int32_t p = pos.board[s];
    if (p == 0 || p == kBorder) continue;
    material += pieceValue[p];
    if (p > 0) {
      material += pieceSquare[p][s];
      whiteSum += pieceValue[p];
      whiteQueen |= p == kQueen;
    } else {
      material -= pieceSquare[p][s];
      blackSum += pieceValue[p];
      blackQueen |= p == -kQueen;
    }
  }
  pos.material = material;
  if (!whiteQueen || whiteSum - kInfinity < kEndgameMaterial) {
    std::memcpy(pieceSquare[-kKing], kBlackKingEnd.v, sizeof(Table));
    std::memcpy(pieceSquare[-kPawn], kBlackPawnEnd.v, sizeof(Table));
  }
  if (!blackQueen || -(blackSum + kInfinity) < kEndgameMaterial) {
    std::memcpy(pieceSquare[kKing], kWhiteKingEnd.v, sizeof(Table));
    std::memcpy(pieceSquare[kPawn], kWhitePawnEnd.v, sizeof(Table));
  }
}

int evaluate(const Position& pos) {
  const int32_t* b = pos.board;
  auto count = [&pos](int code) { return pos.pieceCount[pieceCountIndex(code)]; };

  // Material that cannot win.
  if (count(1) == 0 && count(-1) == 0 && count(4) == 0 && count(-4) == 0 && count(5) == 0 && count(-5) == 0) {
    int wb = count(3), bb = count(-3), wn = count(2), bn = count(-2);
    if ((wb <= 1 && bb <= 1 && wn == 0 && bn == 0) || (wb == 0 && bb == 0 && wn <= 2 && bn <= 2)) return 0;
  }

  int score = pos.material + 20 * pos.color;

  // Castled kings count while the opponent still has queen and rook.
  if (count(-5) >= 1 && count(-4) >= 1) {
    int k = pos.whiteKing;
    bool shelter = ((k == G1 || k == H1) &&
                    ((b[G2] == 1 && (b[H2] == 1 || b[H3] == 1)) || (b[F2] == 1 && b[G3] == 1 && b[H2] == 1))) ||
                   ((k == B1 || k == A1) &&
                    ((b[B2] == 1 && (b[A2] == 1 || b[A3] == 1)) || (b[C2] == 1 && b[B3] == 1 && b[A2] == 1)));
    if (shelter) score += 50;
    if (k == G1 && b[F1] == kRook) score += 40;
    if (k == C1 && b[D1] == kRook) score += 30;
  }
  if (count(5) >= 1 && count(4) >= 1) {
    int k = pos.blackKing;
    bool shelter = ((k == G8 || k == H8) &&
                    ((b[G7] == -1 && (b[H7] == -1 || b[H6] == -1)) || (b[F7] == -1 && b[G6] == -1 && b[H7] == -1))) ||
                   ((k == B8 || k == A8) &&
                    ((b[B7] == -1 && (b[A7] == -1 || b[A6] == -1)) || (b[C7] == -1 && b[B6] == -1 && b[A7] == -1)));
    if (shelter) score -= 50;
    if (k == G8 && b[F8] == -kRook) score -= 40;
    if (k == C8 && b[D8] == -kRook) score -= 30;
  }

  score += pos.pawnScore;

  // The king-and-pawn term: White's pawn slots 1 to 3 and 7 and 8 and its
  // first two piece slots must be empty. Slots 4 to 6 are skipped, and
  // Black's slots are not read at all: intended as it stands.
  const int* list = pos.pieceList;
  if (!list[1] && !list[2] && !list[3] && !list[7] && !list[8] && !list[9] && !list[10]) {
    int k = pos.whiteKing;
    if (b[k + 10] == 1) score += 30;
    if (b[k + 11] == 1) score += 25;
    if (b[k + 9] == 1) score += 25;
    k = pos.blackKing;
    if (b[k - 10] == -1) score -= 30;
    if (b[k - 11] == -1) score -= 25;
    if (b[k - 9] == -1) score -= 25;
  }
  return score * pos.color;
}

}  // namespace mavo
