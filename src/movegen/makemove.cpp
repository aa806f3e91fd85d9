#include "movegen/makemove.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/tables.h"

namespace mavo {

namespace {

// Undo codes of the castling rights a move gives up, kept in its entry's
// undoCode. A rook leaving its home square writes the king-and-rook code of
// its side, like a king move that finds only that right left.
enum RightsCode : int32_t {
  kWhiteBothRights = -1,  // K, RL and RR
  kWhiteShortRight = -2,  // K and RL
  kWhiteLongRight = -3,   // K and RR
  kBlackBothRights = -4,
  kBlackShortRight = -5,
  kBlackLongRight = -6,
  // A king move when both rook flags were set already: only the king's
  // flag changes, and unmaking must clear exactly that one.
  kWhiteKingFlagOnly = -7,
  kBlackKingFlagOnly = -8,
};

// The flags each code clears again, by -code.
constexpr int kFlag(int f) { return 1 << f; }
constexpr int kRestored[9] = {
    0,
    kFlag(kMovedWhiteKing) | kFlag(kMovedWhiteShort) | kFlag(kMovedWhiteLong),
    kFlag(kMovedWhiteKing) | kFlag(kMovedWhiteShort),
    kFlag(kMovedWhiteKing) | kFlag(kMovedWhiteLong),
    kFlag(kMovedBlackKing) | kFlag(kMovedBlackShort) | kFlag(kMovedBlackLong),
    kFlag(kMovedBlackKing) | kFlag(kMovedBlackShort),
    kFlag(kMovedBlackKing) | kFlag(kMovedBlackLong),
    kFlag(kMovedWhiteKing),
    kFlag(kMovedBlackKing),
};

inline void restoreRights(int* moved, int code) {
  if (code >= 0 || code < -8) return;
  const int flags = kRestored[-code];
  for (int f = 0; f < 6; ++f)
    if (flags & kFlag(f)) moved[f] = 0;
}

// One side's flags, rook squares and codes.
struct SideRights {
  int kingFlag, shortFlag, longFlag;
  int shortRook, longRook;  // indices into castleRookSquare
  int32_t both, shortOnly, longOnly, kingOnly;
};
template <int Color>
constexpr SideRights kRights =
    Color == 1 ? SideRights{kMovedWhiteKing,  kMovedWhiteShort, kMovedWhiteLong, kWhiteShort,       kWhiteLong,
                            kWhiteBothRights, kWhiteShortRight, kWhiteLongRight, kWhiteKingFlagOnly}
               : SideRights{kMovedBlackKing,  kMovedBlackShort, kMovedBlackLong, kBlackShort,       kBlackLong,
                            kBlackBothRights, kBlackShortRight, kBlackLongRight, kBlackKingFlagOnly};

// A rook of Color taken on its side's castling square takes that castling
// right with it; otherwise another rook arriving there later could castle.
// Returns the flag index + 1 of the right removed, or 0.
template <int Color>
inline int takeRookRight(Position& pos, int square) {
  constexpr SideRights r = kRights<Color>;
  if (pos.moved[r.kingFlag]) return 0;
  if (square == castleRookSquare[r.longRook] && !pos.moved[r.longFlag]) {
    pos.moved[r.longFlag] = 1;
    return r.longFlag + 1;
  }
  if (square == castleRookSquare[r.shortRook] && !pos.moved[r.shortFlag]) {
    pos.moved[r.shortFlag] = 1;
    return r.shortFlag + 1;
  }
  return 0;
}

// King move: both rights go; the code says which were still there.
template <int Color>
inline int kingRightsCode(int* moved) {
  constexpr SideRights r = kRights<Color>;
  if (moved[r.kingFlag]) return 0;
  moved[r.kingFlag] = 1;
  if (!moved[r.shortFlag] && !moved[r.longFlag]) return r.both;
  if (!moved[r.shortFlag]) return r.shortOnly;
  if (!moved[r.longFlag]) return r.longOnly;
  return r.kingOnly;
}

// A rook leaving its castling square, its king unmoved: that right goes.
// Returns the undo code, 0 when no right changed.
template <int Color>
inline int rookLeaves(Position& pos, int from) {
  constexpr SideRights r = kRights<Color>;
  if (pos.moved[r.kingFlag]) return 0;
  int code = 0;
  if (from == castleRookSquare[r.longRook] && !pos.moved[r.longFlag]) {
    pos.moved[r.longFlag] = 1;
    code = r.longOnly;
  }
  if (from == castleRookSquare[r.shortRook] && !pos.moved[r.shortFlag]) {
    pos.moved[r.shortFlag] = 1;
    code = r.shortOnly;
  }
  return code;
}

// Where a castling move's king and rook stand before and after it: the king
// goes to g/c, the rook to f/d of its back rank.
struct CastleSquares {
  bool white, shortSide;
  int kingHome, kingTo, rook, rookTo;
};
inline CastleSquares castleSquares(int type) {
  const bool white = type <= WhiteCastleLong;
  const bool shortSide = type == WhiteCastleShort || type == BlackCastleShort;
  const int base = white ? 90 : 20;
  const int rookIndex = white ? (shortSide ? kWhiteShort : kWhiteLong) : (shortSide ? kBlackShort : kBlackLong);
  return {white,
          shortSide,
          castleKingSquare[white ? 0 : 1],
          base + (shortSide ? 7 : 3),
          castleRookSquare[rookIndex],
          base + (shortSide ? 6 : 4)};
}

// The board key and pawn masks before each move on the stack, by ply:
// unmakeMove puts them back.
struct KeptBefore {
  PositionKey boardKey;
  uint64_t pawnMask[2];
  uint32_t sliderSlotMask;
};
KeptBefore keptBefore[kMoveStackSize];

inline PositionKey pieceOn(int square, int32_t code) { return squareKey[square][code + 8]; }

inline void moveSlot(Position& pos, int from, int to) {
  int slot = pos.slotAddress[from];
  pos.pieceList[slot] = to;
  pos.slotAddress[to] = slot;
  pos.slotAddress[from] = 0;
}

// The record's fields are read once into locals and written once at the
// end: the board and list writes could otherwise alias them. Without Full
// only what the move generator reads changes (the board, the piece list and
// its masks, counts, kings, castling flags, en passant, the side to move):
// perft's last made ply.
template <bool Full>
inline void doMove(Position& pos, const Move& move) {
  const int f = move.from, t = move.to, c = move.captured, y = move.type;
  int32_t* b = pos.board;
  const int32_t p = b[f];
  const int32_t victim = b[t];
  const int ply = pos.ply;
  Move& e = MoveStack[ply];
  const int prevEp = pos.epField, prevMaterial = pos.material, prevFifty = pos.fifty;
  PositionKey key = pos.boardKey;
  uint64_t whitePawns = pos.pawnMask[0], blackPawns = pos.pawnMask[1];
  uint32_t sliderSlots = pos.sliderSlotMask;
  if constexpr (Full)
    keptBefore[ply] = {key, {whitePawns, blackPawns}, sliderSlots};
  else
    keptBefore[ply].sliderSlotMask = sliderSlots;

  int32_t* count = pos.pieceCount;
  count[pieceCountIndex(c)] -= 1;
  const int veto =
      !(count[pieceCountIndex(5)] == 1 || count[pieceCountIndex(-5)] == 1 || count[pieceCountIndex(4)] == 1 ||
        count[pieceCountIndex(-4)] == 1 || count[pieceCountIndex(3)] == 1 || count[pieceCountIndex(-3)] == 1 ||
        count[pieceCountIndex(2)] == 1 || count[pieceCountIndex(-2)] == 1);

  const bool castling = y >= WhiteCastleShort && y <= BlackCastleLong;
  int material = prevMaterial + (p > 0 ? pieceSquare[p][t] - pieceSquare[p][f] : pieceSquare[p][f] - pieceSquare[p][t]);
  int fifty = prevFifty + 1;
  int ep = y == EnPassant ? prevEp : 0;
  int undo = 0, rankFlag = 0, rookFlag = 0;

  // A capture (or a Chess960 castling onto its own rook, which only resets
  // the fifty-move count).
  if (victim != 0) {
    fifty = 0;
    if (!castling) {
      material -= pieceValue[victim];
      if (victim == kPawn) {
        whitePawns ^= squareBit[t];
        rankFlag = t < 39;
      } else if (victim == -kPawn) {
        blackPawns ^= squareBit[t];
        rankFlag = t > 80;
      } else if (victim == -kRook) {
        rookFlag = takeRookRight<-1>(pos, t);
      } else if (victim == kRook) {
        rookFlag = takeRookRight<1>(pos, t);
      }
    }
  }
  if (y == EnPassant) material -= pieceValue[c];

  if (p == kPawn || p == -kPawn) {
    fifty = 0;
    const uint64_t moveBits = squareBit[f] | (isPromotion(y) ? 0 : squareBit[t]);
    if (p == kPawn) {
      whitePawns ^= moveBits;
      if (t - f == -20) ep = f - 10;
    } else {
      blackPawns ^= moveBits;
      if (f - t == -20) ep = f + 10;
    }
  } else if (p == kKing) {
    undo = kingRightsCode<1>(pos.moved);
    pos.whiteKing = y == WhiteCastleShort ? G1 : y == WhiteCastleLong ? C1 : t;
  } else if (p == -kKing) {
    undo = kingRightsCode<-1>(pos.moved);
    pos.blackKing = y == BlackCastleShort ? G8 : y == BlackCastleLong ? C8 : t;
  } else if (p == kRook) {
    undo = rookLeaves<1>(pos, f);
  } else if (p == -kRook) {
    undo = rookLeaves<-1>(pos, f);
  }

  int capturedSlot = 0, from = f, to = t, captured = victim;
  if (y == Normal) {
    capturedSlot = pos.slotAddress[t];
    const int slot = pos.slotAddress[f];
    pos.pieceList[capturedSlot] = 0;
    pos.pieceList[slot] = t;
    pos.slotAddress[t] = slot;
    pos.slotAddress[f] = 0;
    b[t] = p;
    b[f] = 0;
    key ^= pieceOn(f, p) ^ pieceOn(t, p) ^ pieceOn(t, victim);
  } else if (y == EnPassant) {
    const int victimSquare = p == kPawn ? t + 10 : t - 10;
    capturedSlot = pos.slotAddress[victimSquare];
    pos.pieceList[capturedSlot] = 0;
    pos.slotAddress[victimSquare] = 0;
    moveSlot(pos, f, t);
    b[t] = p;
    b[f] = 0;
    b[victimSquare] = 0;
    key ^= pieceOn(f, p) ^ pieceOn(t, p) ^ pieceOn(victimSquare, -p);
    (p > 0 ? blackPawns : whitePawns) ^= squareBit[victimSquare];
    captured = -p;
    undo = EnPassant;
  } else if (y >= WhitePromoQueen) {
    const int32_t piece = promotedPiece(y);
    capturedSlot = pos.slotAddress[t];
    pos.pieceList[capturedSlot] = 0;
    if (y != WhitePromoKnight && y != BlackPromoKnight) sliderSlots |= 1u << pos.slotAddress[f];
    moveSlot(pos, f, t);
    b[f] = 0;
    b[t] = piece;
    key ^= pieceOn(f, p) ^ pieceOn(t, victim) ^ pieceOn(t, piece);
    count[pieceCountIndex(p)] -= 1;
    count[pieceCountIndex(piece)] += 1;
    material += pieceValue[piece] - pieceValue[p];
    undo = y;
  } else {
    // Castling, from wherever king and rook stand (either may already be
    // on its target square).
    const auto [white, shortSide, kingHome, kingTo, rook, rookTo] = castleSquares(y);
    const int slot = pos.slotAddress[rook];
    pos.pieceList[slot] = rookTo;
    pos.slotAddress[rook] = 0;
    pos.slotAddress[rookTo] = slot;
    b[kingHome] = 0;
    b[rook] = 0;
    const int32_t king = white ? kKing : -kKing, rookCode = white ? kRook : -kRook;
    b[kingTo] = king;
    b[rookTo] = rookCode;
    key ^= pieceOn(kingHome, king) ^ pieceOn(rook, rookCode) ^ pieceOn(kingTo, king) ^ pieceOn(rookTo, rookCode);
    from = kingHome;
    to = kingTo;
    captured = 0;
    undo = y;
  }
  key ^= epSquareKey[prevEp] ^ epSquareKey[ep];

  const int color = -pos.color;
  pos.ply = ply + 1;
  pos.color = color;
  pos.epField = ep;
  pos.slotMask &= ~(1u << capturedSlot);
  pos.sliderSlotMask = sliderSlots & ~(1u << capturedSlot);
  e.from = from;
  e.to = to;
  e.captured = captured;
  e.undoCode = undo;
  e.capturedSlot = capturedSlot;
  e.prevEpSquare = prevEp;
  e.capturedRookFlag = rookFlag;
  if constexpr (Full) {
    ++searchPly;
    pos.nullMoveVeto = veto;
    pos.pawnRankFlag = rankFlag;
    pos.material = material;
    pos.fifty = fifty;
    pos.pawnMask[0] = whitePawns;
    pos.pawnMask[1] = blackPawns;
    pos.boardKey = key;
    pos.hashkey = key ^ sideKey(color);
    e.prevFifty = prevFifty;
    e.prevMaterial = prevMaterial;
    e.keyAfter = pos.hashkey;
  }
}

template <bool Full>
inline void takeBack(Position& pos) {
  Move& e = MoveStack[pos.ply - 1];
  const int f = e.from, t = e.to;
  int32_t* b = pos.board;
  --pos.ply;
  const KeptBefore& kept = keptBefore[pos.ply];
  if constexpr (Full) {
    pos.hashkey = e.keyAfter;
    pos.boardKey = kept.boardKey;
    pos.pawnMask[0] = kept.pawnMask[0];
    pos.pawnMask[1] = kept.pawnMask[1];
    --searchPly;
    pos.fifty = e.prevFifty;
    pos.material = e.prevMaterial;
  }
  pos.slotMask |= 1u << e.capturedSlot;
  pos.sliderSlotMask = kept.sliderSlotMask;
  pos.color = -pos.color;
  pos.pieceCount[pieceCountIndex(e.captured)] += 1;

  const int code = e.undoCode;
  if (b[t] == kKing) pos.whiteKing = f;
  if (b[t] == -kKing) pos.blackKing = f;
  restoreRights(pos.moved, code);
  pos.epField = e.prevEpSquare;
  if (e.capturedRookFlag) {
    int flag = e.capturedRookFlag - 1;
    pos.moved[flag] = 0;
    pos.moved[flag == kMovedWhiteShort || flag == kMovedWhiteLong ? kMovedWhiteKing : kMovedBlackKing] = 0;
  }

  if (code == EnPassant) {
    const bool white = b[t] == kPawn;
    const int victimSquare = white ? t + 10 : t - 10;
    pos.pieceList[e.capturedSlot] = victimSquare;
    pos.slotAddress[victimSquare] = e.capturedSlot;
    moveSlot(pos, t, f);
    b[f] = white ? kPawn : -kPawn;
    b[victimSquare] = white ? -kPawn : kPawn;
    b[t] = 0;
    return;
  }
  if (code >= WhiteCastleShort && code <= BlackCastleLong) {
    const auto [white, shortSide, kingHome, kingTo, rook, rookTo] = castleSquares(code);
    int slot = pos.slotAddress[rookTo];
    if (rook != rookTo) pos.slotAddress[rookTo] = 0;
    pos.slotAddress[rook] = slot;
    pos.pieceList[slot] = rook;
    b[t] = 0;
    b[rookTo] = 0;
    b[kingHome] = white ? kKing : -kKing;
    b[rook] = white ? kRook : -kRook;
    if (white) {
      pos.whiteKing = kingHome;
      pos.moved[kMovedWhiteKing] = 0;
      pos.moved[shortSide ? kMovedWhiteShort : kMovedWhiteLong] = 0;
    } else {
      pos.blackKing = kingHome;
      pos.moved[kMovedBlackKing] = 0;
      pos.moved[shortSide ? kMovedBlackShort : kMovedBlackLong] = 0;
    }
    return;
  }
  const int slot = pos.slotAddress[t];
  pos.slotAddress[f] = slot;
  pos.pieceList[slot] = f;
  pos.slotAddress[t] = e.capturedSlot;
  pos.pieceList[e.capturedSlot] = t;
  if (code >= WhitePromoQueen) {
    const int32_t piece = b[t];
    pos.pieceCount[pieceCountIndex(piece)] -= 1;
    const int32_t pawn = piece > 1 ? kPawn : -kPawn;
    pos.pieceCount[pieceCountIndex(pawn)] += 1;
    b[f] = pawn;
  } else {
    b[f] = b[t];
  }
  b[t] = e.captured;
}

}  // namespace

void makeMove(Position& pos, const Move& move) {
  doMove<true>(pos, move);
  // Debug and sanitizer builds check the kept key and masks against the
  // record recomputed from scratch.
  assertPosition(pos, true, "makeMove");
}

// The key stays the undone move's keyAfter (the next makeMove recomputes
// it), so only the rest of the record is checked.
void unmakeMove(Position& pos) {
  takeBack<true>(pos);
  assertPosition(pos, false, "unmakeMove");
}

void makeBoardMove(Position& pos, const Move& move) { doMove<false>(pos, move); }

void unmakeBoardMove(Position& pos) {
  takeBack<false>(pos);
  assertPosition(pos, false, "unmakeBoardMove");
}

}  // namespace mavo
