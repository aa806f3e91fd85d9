#include "movegen/movegen.h"

#include <bit>

#include "movegen/attack.h"
#include "position/bit_count.h"
#include "position/consistency.h"
#include "position/position.h"
#include "position/tables.h"

namespace mavo {

namespace {

enum GenMode { kGenAll, kGenCount, kGenCaptures };

// The bits set in four masks.
MAVO_WITH_POPCOUNT int bitsHardware(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
  return std::popcount(a) + std::popcount(b) + std::popcount(c) + std::popcount(d);
}
int bitsPortable(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
  return std::popcount(a) + std::popcount(b) + std::popcount(c) + std::popcount(d);
}
inline int bitsIn(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
  return cpuHasPopcount ? bitsHardware(a, b, c, d) : bitsPortable(a, b, c, d);
}

// One generator for both colours and all three uses, so that the full list,
// the counting twin of perft and the capture list follow the same rules in
// the same order. Legality: a move of a piece that is not aligned with its
// own king, while not in check, cannot expose the king and is taken without
// a trial. Out of check, the trial of an aligned piece is answered by the
// scan of the king's eight lines (scanKingLines), made once per position. In
// check by one piece a move other than the king's is legal exactly when it
// takes the checker or blocks its line and its piece is not pinned (a pin
// line meets the check line only on the king's square); in double check
// only the king moves. En passant and the king's steps are always tried on
// the board.
template <int Color, GenMode Mode>
class Generator {
 public:
  // knownCheck: 0 or 1 when the caller has tested the check already, else
  // -1.
  Generator(Position& pos, Move* list, int knownCheck) : pos_(pos), b_(pos.board), list_(list) {
    enemyKnights_ = pos.pieceCount[pieceCountIndex(-Color * kKnight)] != 0;
    king_ = Color == 1 ? pos.whiteKing : pos.blackKing;
    enemyKing_ = Color == 1 ? pos.blackKing : pos.whiteKing;
    // In check: attacked by a slider along one of the king's lines, scanned
    // together with the pins, or by a knight, pawn or the king.
    const bool sliderCheck = scanKingLines<Color>(pos, king_, pins_);
    if (knownCheck < 0)
      inCheck_ = sliderCheck || checkOffTheLines();
    else
      inCheck_ = knownCheck;
    assertKnownCheck(knownCheck, sliderCheck);
    if (inCheck_) findEvasions();
    // En passant only toward a square on the enemy pawn's passed rank.
    ep_ = (Color == 1 ? pos.epField <= kLastWhiteEnPassantTarget : pos.epField >= kFirstBlackEnPassantTarget)
              ? pos.epField
              : 0;
    occupied_ = pos.occupied[0] | pos.occupied[1];
    kingLine_ = AlignmentTable + king_ * 99;     // the table is symmetric
    plainPawns_ = pins_.count == 0 && ep_ == 0;  // no pawn is pinned or may take en passant
  }

  int run() {
    if constexpr (Mode != kGenCaptures) castling();
    kingMoves();
    if (inCheck_)
      pieces<true>();
    else
      pieces<false>();
    if constexpr (Mode == kGenCount) return n_;
    return static_cast<int>(end_ - list_);
  }

 private:
  static constexpr int kForward = Color == 1 ? -10 : 10;
  static constexpr int kLeft = Color == 1 ? -9 : 9;  // the capture tried first
  static constexpr int kRight = Color == 1 ? -11 : 11;
  // The pawns that promote with their next step, as mask bits.
  static constexpr uint64_t kPromotingRank = Color == 1 ? 0xffull << 8 : 0xffull << 48;

  static bool isEnemy(int32_t c) { return Color == 1 ? c < 0 : static_cast<uint32_t>(c - 1) < kKing; }
  // Empty or enemy: the target of a move (the border 7 is neither).
  static bool isTarget(int32_t c) { return Color == 1 ? c < 1 : static_cast<uint32_t>(c) <= kKing; }

  // Without enemy knights (the counts include promoted ones) only the pawn
  // steps need a look.
  int knightOrPawnAttacks(int s) const {
    if (!enemyKnights_) return attackedByPawn<-Color>(b_, s);
    return Color == 1 ? attackedByBlackKnightOrPawn(b_, s) : attackedByWhiteKnightOrPawn(b_, s);
  }
  // The squares the enemy's pawns, knights and king attack, found once on
  // the masks when the king first has a square to step to.
  uint64_t guarded() {
    if (guardedKnown_) return guarded_;
    constexpr int enemy = Color == 1 ? 1 : 0;
    const uint64_t pawns = pos_.pawnMask[enemy];
    uint64_t guarded = kKingStepSquares[enemyKing_] | stepped<Color * 9>(pawns) | stepped<Color * 11>(pawns);
    if (enemyKnights_)
      for (uint64_t knights = pos_.occupied[enemy] & ~(pawns | pos_.sliderSquares[enemy] | squareBit[enemyKing_]);
           knights; knights &= knights - 1)
        guarded |= kKnightJumpSquares[kBitSquare[std::countr_zero(knights)]];
    guardedKnown_ = true;
    return guarded_ = guarded;
  }
  // The king step test: the guarded squares, then the lines of the enemy
  // sliders only.
  int kingStepExposed(int from, int to) {
    if (guarded() & squareBit[to]) return 1;
    return slidersAttackStep<Color>(pos_, from, to);
  }
  int pawnMoveExposes(int from, int to) {
    return Color == 1 ? whiteMoveExposesKing(pos_, from, to) : blackMoveExposesKing(pos_, from, to);
  }
  // Out of check: 0 when the piece's moves need no trial, else the square
  // of the enemy slider it must not uncover. The alignment test comes after
  // the cheaper one: with no pin on the king's lines no move needs a trial.
  int pinOf(int from) const {
    if (pins_.count == 0 || !kingLine_[from]) return 0;
    return pins_.pinnerOf(from);
  }
  template <bool InCheck>
  bool pawnMoveOk(int from, int to, int pin) {
    if constexpr (InCheck) return evades(from, to);
    return !pin || staysOnPinLine(king_, pin, to);
  }

  // Check by a knight, a pawn or the king: what the king's lines miss.
  bool checkOffTheLines() const { return knightOrPawnAttacks(king_) || kingStepApart(enemyKing_, king_); }

#ifdef MAVO_CHECK_POSITION
  void assertKnownCheck(int knownCheck, bool sliderCheck) {
    if (knownCheck >= 0 && knownCheck != (sliderCheck || checkOffTheLines()))
      failPositionCheck("a generator told the check", "the side to move's check is not as told");
  }
#else
  void assertKnownCheck(int, bool) {}
#endif

  // The squares that take the single checker or stand between it and the
  // king; none in double check.
  void findEvasions() {
    int checkers = pins_.checkers;
    uint64_t mask = 0;
    if (checkers) {
      const int q = pins_.checkerSquare, step = lineStep(q, king_);
      for (int t = king_ + step; t != q; t += step) mask |= squareBit[t];
      mask |= squareBit[q];
    }
    for (int jump : kKnightJumpList)
      if (b_[king_ + jump] == -Color * kKnight) ++checkers, mask |= squareBit[king_ + jump];
    for (int step : {-Color * 9, -Color * 11})
      if (b_[king_ + step] == -Color * kPawn) ++checkers, mask |= squareBit[king_ + step];
    evasions_ = checkers == 1 ? mask : 0;
  }
  bool evades(int from, int to) const { return (evasions_ & squareBit[to]) && !pinOf(from); }

  template <bool InCheck>
  void pieces() {
    if constexpr (Mode == kGenCount && !InCheck) countFreePawns();
    constexpr int first = Color == 1 ? kWhitePawnSlots : kBlackPawnSlots;
    const int32_t* list = pos_.pieceList + first;
    uint32_t slots;
    if constexpr (Mode == kGenCaptures && !InCheck)
      slots = capturingSlots(first);
    else
      slots = (pos_.slotMask >> first) & 0x7fff;
    for (; slots; slots &= slots - 1) {
      const int s = list[std::countr_zero(slots)];
      const int32_t piece = Color * b_[s];
      if (piece == kPawn) {
        if constexpr (Mode == kGenCount && !InCheck)
          if (freePawns_ & squareBit[s]) continue;  // counted by countFreePawns
        pawn<InCheck>(s);
        continue;
      }
      switch (piece) {
        case kKnight: knight<InCheck>(s); break;
        case kBishop: bishop<InCheck>(s); break;
        case kRook: rook<InCheck>(s); break;
        case kQueen: queen<InCheck>(s); break;
        default: break;
      }
    }
  }

  // Out of check, the slots (from `first`) of the pieces that may add to
  // the capture list: pawns with an enemy piece diagonally ahead, on the
  // promoting rank or beside the en passant target, knights with an enemy
  // piece a jump away, and every slider (which tests its lines itself). The
  // others would add nothing, so leaving them out keeps the list as it is.
  uint32_t capturingSlots(int first) const {
    constexpr int own = Color == 1 ? 0 : 1;
    const uint64_t enemy = pos_.occupied[1 - own], pawns = pos_.pawnMask[own], sliders = pos_.sliderSquares[own];
    uint64_t worth = (pawns & (stepped<-kLeft>(enemy) | stepped<-kRight>(enemy) | kPromotingRank)) | sliders;
    if (ep_) worth |= pawns & (squareBit[ep_ - kLeft] | squareBit[ep_ - kRight]);
    for (uint64_t knights = pos_.occupied[own] & ~(pawns | sliders | squareBit[king_]); knights;
         knights &= knights - 1) {
      const int s = kBitSquare[std::countr_zero(knights)];
      if (kKnightJumpSquares[s] & enemy) worth |= squareBit[s];
    }
    uint32_t slots = 0;
    for (; worth; worth &= worth - 1) slots |= 1u << (pos_.slotAddress[kBitSquare[std::countr_zero(worth)]] - first);
    return slots;
  }

  // Kind: the moving piece's kind, so that the full list's scores read a
  // table row known where the move is written.
  template <int32_t Kind>
  void add(int from, int to, int captured, int type) {
    if constexpr (Mode == kGenCount) {
      ++n_;
    } else {
      Move& m = *end_++;
      m.from = from;
      m.to = to;
      m.captured = captured;
      m.type = type;
      if constexpr (Mode == kGenAll) m.score = scoreOf<Kind>(from, to, captured, type);
    }
  }

  template <int32_t Kind>
  int32_t scoreOf(int from, int to, int captured, int type) const {
    constexpr int32_t piece = Color * Kind;
    const int32_t* row = orderingSquare[piece];
    // What stands on the target: the piece taken, or (en passant, castling)
    // the board's square as it is.
    const int32_t onTarget = type == Normal || type >= WhitePromoQueen ? captured : b_[to];
    return row[to] - row[from] - pieceValue[onTarget] * Color + kindBonus(type, captured, piece, to);
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
        add<kKing>(king_, shortRook, 0, Color == 1 ? WhiteCastleShort : BlackCastleShort);
      if (!moved[longFlag] && b_[longRook] == rook &&
          (Color == 1 ? canCastle960WhiteLong(pos_) : canCastle960BlackLong(pos_)))
        add<kKing>(king_, longRook, 0, Color == 1 ? WhiteCastleLong : BlackCastleLong);
      return;
    }
    constexpr int base = Color == 1 ? 90 : 20;  // a-file square - 1 on the back rank
    // A clear king flag means e1/e8, unless the mode was switched after the
    // position was set up.
    if (king_ != base + 5) return;
    if (b_[base + 7] == 0 && b_[base + 6] == 0 && b_[base + 8] == rook && !moved[shortFlag] && !besideExposed<1>() &&
        !kingStepExposed(king_, base + 7))
      add<kKing>(base + 5, base + 7, 0, Color == 1 ? WhiteCastleShort : BlackCastleShort);
    if (b_[base + 2] == 0 && b_[base + 3] == 0 && b_[base + 1] == rook && b_[base + 4] == 0 && !moved[longFlag] &&
        !kingStepExposed(king_, base + 3) && !besideExposed<-1>())
      add<kKing>(base + 5, base + 3, 0, Color == 1 ? WhiteCastleLong : BlackCastleLong);
  }

  // The king's steps to the f and d file squares are tested for castling
  // and again as king moves, on the same board: the answer is kept.
  template <int Step>
  int besideExposed() {
    int& known = beside_[Step == 1 ? 0 : 1];
    if (known < 0) known = kingStepExposed(king_, king_ + Step);
    return known;
  }

  template <int Step>
  void kingStep(uint64_t targets) {
    const int t = king_ + Step;
    if (!(targets & squareBit[t])) return;
    const int exposed = Step == 1 || Step == -1 ? besideExposed<Step>() : kingStepExposed(king_, t);
    if (!exposed) add<kKing>(king_, t, b_[t], Normal);
  }

  // The king's targets by the masks: empty or enemy squares (enemy squares
  // alone for the capture list). Counting takes them in any order.
  void kingMoves() {
    const uint64_t enemy = pos_.occupied[Color == 1 ? 1 : 0];
    uint64_t targets = kKingStepSquares[king_] & (Mode == kGenCaptures ? enemy : ~pos_.occupied[Color == 1 ? 0 : 1]);
    if (!targets) return;
    if constexpr (Mode == kGenCount) {
      for (targets &= ~guarded(); targets; targets &= targets - 1)
        n_ += !slidersAttackStep<Color>(pos_, king_, kBitSquare[std::countr_zero(targets)]);
      return;
    }
    kingStep<1>(targets);
    kingStep<-1>(targets);
    kingStep<10>(targets);
    kingStep<-10>(targets);
    kingStep<9>(targets);
    kingStep<-9>(targets);
    kingStep<11>(targets);
    kingStep<-11>(targets);
  }

  template <bool InCheck>
  void promotions(int from, int to, int32_t captured, int pin) {
    if (!pawnMoveOk<InCheck>(from, to, pin)) return;
    constexpr int queen = Color == 1 ? WhitePromoQueen : BlackPromoQueen;
    add<kPawn>(from, to, captured, queen);
    if constexpr (Mode != kGenCaptures) {
      add<kPawn>(from, to, captured, queen + 1);
      add<kPawn>(from, to, captured, queen + 2);
      add<kPawn>(from, to, captured, queen + 3);
    }
  }

  // Counting, out of check: the moves of the pawns that neither promote,
  // nor stand pinned, nor may take en passant, all at once on the masks
  // (bit 8 * (row - 2) + file - 1, so a step toward rank 8 is 8 bits down).
  void countFreePawns() {
    constexpr uint64_t fileA = 0x0101010101010101ull, fileH = fileA << 7;
    constexpr uint64_t doubleStepRank = Color == 1 ? 0xffull << 40 : 0xffull << 16;  // the single step's target
    uint64_t free = pos_.pawnMask[Color == 1 ? 0 : 1] & ~kPromotingRank;
    if (!plainPawns_) {
      for (int i = 0; i < pins_.count; ++i) free &= ~squareBit[pins_.piece[i]];
      if (ep_) free &= ~(squareBit[ep_ - kLeft] | squareBit[ep_ - kRight]);
    }
    const uint64_t enemy = pos_.occupied[Color == 1 ? 1 : 0];
    const uint64_t empty = ~(enemy | pos_.occupied[Color == 1 ? 0 : 1]);
    auto forward = [](uint64_t m, int bits) { return Color == 1 ? m >> bits : m << bits; };
    const uint64_t single = forward(free, 8) & empty;
    const uint64_t twice = forward(single & doubleStepRank, 8) & empty;
    // kLeft is toward the h-file for White, the a-file for Black.
    const uint64_t left = forward(free & (Color == 1 ? ~fileH : ~fileA), 7) & enemy;
    const uint64_t right = forward(free & (Color == 1 ? ~fileA : ~fileH), 9) & enemy;
    n_ += bitsIn(single, twice, left, right);
    freePawns_ = free;
  }

  template <bool InCheck>
  void pawn(int s) {
    const bool promoting = Color == 1 ? s <= kLastWhitePromotingSquare : s >= kFirstBlackPromotingSquare;
    const int pin = InCheck ? 0 : pinOf(s);
    if (promoting) {
      if (b_[s + kForward] == 0) promotions<InCheck>(s, s + kForward, 0, pin);
      if (isEnemy(b_[s + kLeft])) promotions<InCheck>(s, s + kLeft, b_[s + kLeft], pin);
      if (isEnemy(b_[s + kRight])) promotions<InCheck>(s, s + kRight, b_[s + kRight], pin);
      return;
    }
    if constexpr (Mode != kGenCaptures) {
      if (b_[s + kForward] == 0) {
        if (pawnMoveOk<InCheck>(s, s + kForward, pin)) add<kPawn>(s, s + kForward, 0, Normal);
        bool onHomeRank = Color == 1 ? s >= kFirstWhitePawnHomeSquare : s <= kLastBlackPawnHomeSquare;
        if (onHomeRank && b_[s + 2 * kForward] == 0 && pawnMoveOk<InCheck>(s, s + 2 * kForward, pin))
          add<kPawn>(s, s + 2 * kForward, 0, Normal);
      }
    }
    pawnCapture<InCheck>(s, s + kLeft, pin);
    pawnCapture<InCheck>(s, s + kRight, pin);
  }

  template <bool InCheck>
  void pawnCapture(int s, int t, int pin) {
    const int32_t c = b_[t];
    if (isEnemy(c)) {
      if (pawnMoveOk<InCheck>(s, t, pin)) add<kPawn>(s, t, c, Normal);
    } else if (t == ep_ && c == 0 && b_[t - kForward] == -Color * kPawn) {
      // The pawn to be taken must be there: a FEN may name an en-passant
      // square without one, and the trial would put a pawn back on it.
      if (!pawnMoveExposes(s, t)) add<kPawn>(s, t, -Color, EnPassant);
    }
  }

  // A pinned knight has no legal move.
  template <bool InCheck>
  void knight(int s) {
    if (pinOf(s) || (InCheck && !evasions_)) return;
    if constexpr (Mode == kGenCount && !InCheck) {
      n_ += isTarget(b_[s + 19]) + isTarget(b_[s - 19]) + isTarget(b_[s + 8]) + isTarget(b_[s - 8]) +
            isTarget(b_[s + 12]) + isTarget(b_[s - 12]) + isTarget(b_[s + 21]) + isTarget(b_[s - 21]);
      return;
    }
    for (int jump : kKnightJumpList) {
      int t = s + jump;
      int32_t c = b_[t];
      if (Mode == kGenCaptures ? !isEnemy(c) : !isTarget(c)) continue;
      if (!InCheck || evades(s, t)) add<kKnight>(s, t, c, Normal);
    }
  }

  // Ray orders of the sliders, as template arguments so that every ray is
  // its own unrolled loop.
  template <bool InCheck>
  void bishop(int s) {
    if constexpr (Color == 1)
      slider<InCheck, kBishop, -11, -9, 9, 11>(s);
    else
      slider<InCheck, kBishop, 9, 11, -11, -9>(s);
  }
  template <bool InCheck>
  void rook(int s) {
    if constexpr (Color == 1)
      slider<InCheck, kRook, -10, 1, -1, 10>(s);
    else
      slider<InCheck, kRook, 1, -1, 10, -10>(s);
  }
  template <bool InCheck>
  void queen(int s) {
    if constexpr (Color == 1)
      slider<InCheck, kQueen, -10, -11, -9, -1, 1, 10, 9, 11>(s);
    else
      slider<InCheck, kQueen, 1, -1, 10, -10, 9, 11, -11, -9>(s);
  }

  // A pinned slider keeps its moves along the pin line (toward the king and
  // up to the slider that pins it) and loses all others.
  template <bool InCheck, int32_t Kind, int... Steps>
  void slider(int s) {
    // Counting skips a slider its own pieces box in, the capture list one
    // without an enemy piece on its lines.
    if constexpr (Mode == kGenCount && !InCheck) {
      if (!(kNextSquares<Steps...>[s] & ~pos_.occupied[Color == 1 ? 0 : 1])) return;
    } else if constexpr (Mode == kGenCaptures) {
      if (!(kLineSquares<Steps...>[s] & pos_.occupied[Color == 1 ? 1 : 0])) return;
    }
    if constexpr (InCheck) {
      if (!evasions_ || pinOf(s)) return;
    } else {
      if (const int pin = pinOf(s)) {
        const int pinStep = lineStep(pin, king_);
        ((Steps == pinStep || Steps == -pinStep ? ray<false, Kind, Steps>(s) : void()), ...);
        return;
      }
    }
    (ray<InCheck, Kind, Steps>(s), ...);
  }

  // The capture list and counting out of check take a ray's first piece
  // from the masks; counting takes the empty squares before it as the
  // difference of the two rays' lengths.
  template <bool InCheck, int32_t Kind, int Step>
  void ray(int s) {
    if constexpr (Mode == kGenCaptures || (Mode == kGenCount && !InCheck)) {
      const uint64_t hit = kRaySquares<Step>[s] & occupied_;
      if (!hit) {
        if constexpr (Mode == kGenCount) n_ += kRayLength<Step>[s];
        return;
      }
      const int t = kBitSquare[nearestBit<Step>(hit)];
      if constexpr (Mode == kGenCount) n_ += kRayLength<Step>[s] - kRayLength<Step>[t] - 1;
      if (isEnemy(b_[t]) && (!InCheck || evades(s, t))) add<Kind>(s, t, b_[t], Normal);
      return;
    }
    int t = s + Step;
    while (b_[t] == 0) {
      if constexpr (Mode != kGenCaptures)
        if (!InCheck || evades(s, t)) add<Kind>(s, t, 0, Normal);
      t += Step;
    }
    if (isEnemy(b_[t]) && (!InCheck || evades(s, t))) add<Kind>(s, t, b_[t], Normal);
  }

  Position& pos_;
  int32_t* const b_;
  Move* const list_;
  int n_ = 0;          // counting
  Move* end_ = list_;  // the lists: a pointer, which the moves' stores cannot alias
  int king_;
  int enemyKing_;
  bool enemyKnights_;
  int inCheck_;
  uint64_t evasions_ = 0;
  uint64_t occupied_;
  uint64_t guarded_ = 0;
  bool guardedKnown_ = false;
  int ep_;
  bool plainPawns_;
  uint64_t freePawns_ = 0;
  const uint8_t* kingLine_;
  Pins pins_;
  int beside_[2] = {-1, -1};  // unknown until tested
};

template <GenMode Mode>
int generate(Position& pos, Move* list, int knownCheck = -1) {
  return pos.color == 1 ? Generator<1, Mode>(pos, list, knownCheck).run()
                        : Generator<-1, Mode>(pos, list, knownCheck).run();
}

}  // namespace

int generateMoves(Position& pos, Move* list) { return generate<kGenAll>(pos, list); }
int generateCaptures(Position& pos, Move* list) { return generate<kGenCaptures>(pos, list); }
int generateMoves(Position& pos, Move* list, bool inCheck) { return generate<kGenAll>(pos, list, inCheck); }
int generateCaptures(Position& pos, Move* list, bool inCheck) { return generate<kGenCaptures>(pos, list, inCheck); }
int countLegalMoves(Position& pos) { return generate<kGenCount>(pos, nullptr); }

}  // namespace mavo
