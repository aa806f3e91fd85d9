#include "movegen/movegen.h"

#include "movegen/attack.h"
#include "position/position.h"

namespace mavo {

namespace {

enum GenMode { kGenAll, kGenCount, kGenCaptures };

// One generator for both colours and all three uses, so that the full list,
// the counting twin of perft and the capture list follow the same rules in
// the same order. Legality: a move of a piece that is not aligned with its
// own king, while not in check, cannot expose the king and is taken without
// a trial; every other move is tried on the board.
template <int Color, GenMode Mode>
class Generator {
 public:
  Generator(Position& pos, Move* list) : pos_(pos), b_(pos.board), list_(list) {
    king_ = Color == 1 ? pos.whiteKing : pos.blackKing;
    inCheck_ = attackedByEnemy(king_);
  }

  int run() {
    if constexpr (Mode != kGenCaptures) castling();
    kingMoves();
    constexpr int first = Color == 1 ? 1 : 16;
    for (int slot = first; slot < first + 15; ++slot) {
      int s = pos_.pieceList[slot];
      if (!s) continue;
      switch (b_[s] * Color) {
        case kPawn: pawn(s); break;
        case kKnight: knight(s); break;
        case kBishop: slider(s, kBishopRays, 4); break;
        case kRook: slider(s, kRookRays, 4); break;
        case kQueen: slider(s, kQueenRays, 8); break;
        default: break;
      }
    }
    return n_;
  }

 private:
  static constexpr int kKnightJumps[8] = {19, -19, 8, -8, 12, -12, 21, -21};
  static constexpr int kKingSteps[8] = {1, -1, 10, -10, 9, -9, 11, -11};
  static constexpr int kBishopRays[4] = {Color == 1 ? -11 : 9, Color == 1 ? -9 : 11, Color == 1 ? 9 : -11,
                                         Color == 1 ? 11 : -9};
  static constexpr int kRookRays[4] = {Color == 1 ? -10 : 1, Color == 1 ? 1 : -1, Color == 1 ? -1 : 10,
                                       Color == 1 ? 10 : -10};
  static constexpr int kWhiteQueenRays[8] = {-10, -11, -9, -1, 1, 10, 9, 11};
  static constexpr int kBlackQueenRays[8] = {1, -1, 10, -10, 9, 11, -11, -9};
  static constexpr const int* kQueenRays = Color == 1 ? kWhiteQueenRays : kBlackQueenRays;
  static constexpr int kForward = Color == 1 ? -10 : 10;

  static bool isEnemy(int32_t c) { return Color == 1 ? c < 0 : (c > 0 && c != kBorder); }
  // Empty or enemy: the target of a move.
  static bool isTarget(int32_t c) { return Color == 1 ? c < 1 : (c >= 0 && c != kBorder); }

  int attackedByEnemy(int s) const { return Color == 1 ? isAttackedByBlack(b_, s) : isAttackedByWhite(b_, s); }
  int kingStepExposed(int from, int to) {
    return Color == 1 ? whiteKingStepExposed(pos_, from, to) : blackKingStepExposed(pos_, from, to);
  }
  int pawnMoveExposes(int from, int to) {
    return Color == 1 ? whiteMoveExposesKing(pos_, from, to) : blackMoveExposesKing(pos_, from, to);
  }
  // Trial of a knight, bishop, rook or queen move.
  bool pieceMoveExposes(int from, int to) {
    int32_t saved = b_[to];
    b_[to] = b_[from];
    b_[from] = 0;
    int r = attackedByEnemy(king_);
    b_[from] = b_[to];
    b_[to] = saved;
    return r;
  }
  bool needsTrial(int from) const { return inCheck_ || aligned(from, king_); }

  void add(int from, int to, int captured, int type) {
    if constexpr (Mode == kGenCount) {
      ++n_;
    } else {
      Move& m = list_[n_++];
      m.from = from;
      m.to = to;
      m.captured = captured;
      m.type = type;
    }
  }

  void castling() {
    const int* moved = pos_.moved;
    if (moved[Color == 1 ? kMovedWhiteKing : kMovedBlackKing] || inCheck_) return;
    constexpr int shortFlag = Color == 1 ? kMovedWhiteShort : kMovedBlackShort;
    constexpr int longFlag = Color == 1 ? kMovedWhiteLong : kMovedBlackLong;
    constexpr int32_t rook = Color * kRook;
    if (chess960Mode) {
      int shortRook = castleRookSquare[Color == 1 ? kWhiteShort : kBlackShort];
      int longRook = castleRookSquare[Color == 1 ? kWhiteLong : kBlackLong];
      if (!moved[shortFlag] && b_[shortRook] == rook &&
          (Color == 1 ? canCastle960WhiteShort(pos_) : canCastle960BlackShort(pos_)))
        add(king_, shortRook, 0, Color == 1 ? WhiteCastleShort : BlackCastleShort);
      if (!moved[longFlag] && b_[longRook] == rook &&
          (Color == 1 ? canCastle960WhiteLong(pos_) : canCastle960BlackLong(pos_)))
        add(king_, longRook, 0, Color == 1 ? WhiteCastleLong : BlackCastleLong);
      return;
    }
    constexpr int base = Color == 1 ? 90 : 20;  // a-file square - 1 on the back rank
    // A clear king flag means e1/e8, unless the mode was switched after the
    // position was set up.
    if (king_ != base + 5) return;
    if (b_[base + 7] == 0 && b_[base + 6] == 0 && b_[base + 8] == rook && !moved[shortFlag] &&
        !kingStepExposed(king_, base + 6) && !kingStepExposed(king_, base + 7))
      add(base + 5, base + 7, 0, Color == 1 ? WhiteCastleShort : BlackCastleShort);
    if (b_[base + 2] == 0 && b_[base + 3] == 0 && b_[base + 1] == rook && b_[base + 4] == 0 && !moved[longFlag] &&
        !kingStepExposed(king_, base + 3) && !kingStepExposed(king_, base + 4))
      add(base + 5, base + 3, 0, Color == 1 ? WhiteCastleLong : BlackCastleLong);
  }

  void kingMoves() {
    for (int step : kKingSteps) {
      int t = king_ + step;
      int32_t c = b_[t];
      if (Mode == kGenCaptures ? !isEnemy(c) : !isTarget(c)) continue;
      if (!kingStepExposed(king_, t)) add(king_, t, c, Normal);
    }
  }

  void promotions(int from, int to, int32_t captured, bool trial) {
    if (trial && pawnMoveExposes(from, to)) return;
    constexpr int queen = Color == 1 ? WhitePromoQueen : BlackPromoQueen;
    add(from, to, captured, queen);
    if constexpr (Mode != kGenCaptures) {
      add(from, to, captured, queen + 1);
      add(from, to, captured, queen + 2);
      add(from, to, captured, queen + 3);
    }
  }

  void pawn(int s) {
    bool trial = needsTrial(s);
    constexpr int left = Color == 1 ? -9 : 9;    // the capture tried first
    constexpr int right = Color == 1 ? -11 : 11;
    bool promoting = Color == 1 ? s < 39 : s > 80;
    if (promoting) {
      if (b_[s + kForward] == 0) promotions(s, s + kForward, 0, trial);
      if (isEnemy(b_[s + left])) promotions(s, s + left, b_[s + left], trial);
      if (isEnemy(b_[s + right])) promotions(s, s + right, b_[s + right], trial);
      return;
    }
    if constexpr (Mode != kGenCaptures) {
      if (b_[s + kForward] == 0) {
        if (!trial || !pawnMoveExposes(s, s + kForward)) add(s, s + kForward, 0, Normal);
        bool onHomeRank = Color == 1 ? s > 80 : s < 39;
        if (onHomeRank && b_[s + 2 * kForward] == 0 && (!trial || !pawnMoveExposes(s, s + 2 * kForward)))
          add(s, s + 2 * kForward, 0, Normal);
      }
    }
    for (int side : {left, right}) {
      int t = s + side;
      int32_t c = b_[t];
      if (isEnemy(c)) {
        if (!trial || !pawnMoveExposes(s, t)) add(s, t, c, Normal);
      } else if (t == pos_.epField && c == 0 && (Color == 1 ? pos_.epField < 49 : pos_.epField > 70) &&
                 b_[t - kForward] == -Color * kPawn) {
        // The pawn to be taken must be there: a FEN may name an en-passant
        // square without one, and the trial would put a pawn back on it.
        if (!pawnMoveExposes(s, t)) add(s, t, -Color, EnPassant);
      }
    }
  }

  void knight(int s) {
    bool trial = needsTrial(s);
    for (int jump : kKnightJumps) {
      int t = s + jump;
      int32_t c = b_[t];
      if (Mode == kGenCaptures ? !isEnemy(c) : !isTarget(c)) continue;
      if (!trial || !pieceMoveExposes(s, t)) add(s, t, c, Normal);
    }
  }

  void slider(int s, const int* rays, int count) {
    bool trial = needsTrial(s);
    for (int r = 0; r < count; ++r) {
      int step = rays[r];
      int t = s + step;
      while (b_[t] == 0) {
        if constexpr (Mode != kGenCaptures)
          if (!trial || !pieceMoveExposes(s, t)) add(s, t, 0, Normal);
        t += step;
      }
      if (isEnemy(b_[t]) && (!trial || !pieceMoveExposes(s, t))) add(s, t, b_[t], Normal);
    }
  }

  Position& pos_;
  int32_t* b_;
  Move* list_;
  int n_ = 0;
  int king_;
  int inCheck_;
};

template <GenMode Mode>
int generate(Position& pos, Move* list) {
  return pos.color == 1 ? Generator<1, Mode>(pos, list).run() : Generator<-1, Mode>(pos, list).run();
}

}  // namespace

int generateMoves(Position& pos, Move* list) { return generate<kGenAll>(pos, list); }
int generateCaptures(Position& pos, Move* list) { return generate<kGenCaptures>(pos, list); }
int countLegalMoves(Position& pos) { return generate<kGenCount>(pos, nullptr); }

}  // namespace mavo
