#include "movegen/makemove.h"

#include "movegen/movegen.h"
#include "position/consistency.h"
#include "position/key.h"
#include "position/notation.h"
#include "position/pawn_terms.h"
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

// The board key, the masks and the pawn score before each move on the stack,
// by ply: unmakeMove puts them back.
struct KeptBefore {
  PositionKey boardKey;
  uint64_t pawnMask[2];
  uint64_t sliderSquares[2];
  uint64_t occupied[2];
  int32_t pawnScore;
};
KeptBefore keptBefore[kMoveStackSize];

// The masks before a move, with the key and pawn score when Full.
template <bool Full>
inline void keepRecord(KeptBefore& kept, const Position& pos) {
  kept.sliderSquares[0] = pos.sliderSquares[0];
  kept.sliderSquares[1] = pos.sliderSquares[1];
  kept.occupied[0] = pos.occupied[0];
  kept.occupied[1] = pos.occupied[1];
  kept.pawnMask[0] = pos.pawnMask[0];
  kept.pawnMask[1] = pos.pawnMask[1];
  if constexpr (Full) {
    kept.boardKey = pos.boardKey;
    kept.pawnScore = pos.pawnScore;
  }
}

inline void restoreMasks(Position& pos, const KeptBefore& kept) {
  pos.sliderSquares[0] = kept.sliderSquares[0];
  pos.sliderSquares[1] = kept.sliderSquares[1];
  pos.occupied[0] = kept.occupied[0];
  pos.occupied[1] = kept.occupied[1];
  pos.pawnMask[0] = kept.pawnMask[0];
  pos.pawnMask[1] = kept.pawnMask[1];
}

// The entry's key after the move, counted in its bucket.
inline void keepKeyAfter(Move& e, PositionKey key) {
  e.keyAfter = key;
  ++stackKeyCount[key & kStackKeyBucketMask];
}

inline PositionKey pieceOn(int square, int32_t code) { return squareKey[square][code + 8]; }

inline void moveSlot(Position& pos, int from, int to) {
  int slot = pos.slotAddress[from];
  pos.pieceList[slot] = to;
  pos.slotAddress[to] = slot;
  pos.slotAddress[from] = 0;
}

// What a move changes beyond the board and the piece list, gathered in
// locals (the board and list writes could otherwise alias the record's
// fields) and written to the record once at the end. The helpers that fill
// it are always inlined: a call would keep it in memory, and the board-only
// make could no longer drop the fields it never writes.
struct Change {
  PositionKey key;
  uint64_t whitePawns, blackPawns;
  int material, fifty, ep;
  int undo, rankFlag, rookFlag;
  int capturedSlot, from, to, captured;
  bool pawnsChanged;
};

inline bool isSlider(int32_t code) {
  return static_cast<uint32_t>((code < 0 ? -code : code) - kBishop) <= kQueen - kBishop;
}

// The slider squares after a special move: a slider taken, a promotion to
// one, the castling rook.
inline void moveSliders(uint64_t* sliders, int32_t victim, int t, int y) {
  const bool castling = y >= WhiteCastleShort && y <= BlackCastleLong;
  if (isSlider(victim) && !castling) sliders[victim < 0] ^= squareBit[t];
  if (y >= WhitePromoQueen) {
    if (const int32_t piece = promotedPiece(y); isSlider(piece)) sliders[piece < 0] ^= squareBit[t];
  } else if (castling) {
    const CastleSquares c = castleSquares(y);
    sliders[c.white ? 0 : 1] ^= squareBit[c.rook] ^ squareBit[c.rookTo];
  }
}

// Each side's occupied squares after a special move.
inline void moveOccupied(uint64_t* occupied, int32_t p, int32_t victim, int f, int t, int y) {
  const int side = p < 0;
  if (y >= WhiteCastleShort && y <= BlackCastleLong) {
    const CastleSquares c = castleSquares(y);
    occupied[side] =
        (occupied[side] & ~(squareBit[c.kingHome] | squareBit[c.rook])) | squareBit[c.kingTo] | squareBit[c.rookTo];
    return;
  }
  occupied[side] ^= squareBit[f] | squareBit[t];
  if (victim) occupied[!side] ^= squareBit[t];
  if (y == EnPassant) occupied[!side] ^= squareBit[p > 0 ? t + 10 : t - 10];
}

// The null move is vetoed while no side has exactly one knight, bishop, rook
// or queen of a kind: counted after the capture, before a promotion.
inline int nullMoveVetoAfter(const int32_t* count) {
  return !(count[pieceCountIndex(5)] == 1 || count[pieceCountIndex(-5)] == 1 || count[pieceCountIndex(4)] == 1 ||
           count[pieceCountIndex(-4)] == 1 || count[pieceCountIndex(3)] == 1 || count[pieceCountIndex(-3)] == 1 ||
           count[pieceCountIndex(2)] == 1 || count[pieceCountIndex(-2)] == 1);
}

// The victim on the target square: its value, its pawn bit, the flag of a
// pawn taken before it could promote, a castling right that goes with a rook.
// A Chess960 castling onto its own rook only resets the fifty-move count.
[[gnu::always_inline]] inline void takeVictim(Position& pos, Change& ch, int32_t victim, int t, bool castling) {
  ch.fifty = 0;
  if (castling) return;
  ch.material -= pieceValue[victim];
  if (victim == kPawn) {
    ch.whitePawns ^= squareBit[t];
    ch.rankFlag = t <= kLastWhitePromotingSquare;
    ch.pawnsChanged = true;
  } else if (victim == -kPawn) {
    ch.blackPawns ^= squareBit[t];
    ch.rankFlag = t >= kFirstBlackPromotingSquare;
    ch.pawnsChanged = true;
  } else if (victim == -kRook) {
    ch.rookFlag = takeRookRight<-1>(pos, t);
  } else if (victim == kRook) {
    ch.rookFlag = takeRookRight<1>(pos, t);
  }
}

// What the moving piece's kind changes in a special move: a pawn's bits
// and fifty-move count (en passant, promotion); the king's square and rights
// (castling).
[[gnu::always_inline]] inline void noteMover(Position& pos, Change& ch, int32_t p, int f, int t, int y) {
  if (p == kPawn || p == -kPawn) {
    ch.fifty = 0;
    ch.pawnsChanged = true;
    const uint64_t moveBits = squareBit[f] | (isPromotion(y) ? 0 : squareBit[t]);
    (p == kPawn ? ch.whitePawns : ch.blackPawns) ^= moveBits;
  } else if (p == kKing) {
    ch.undo = kingRightsCode<1>(pos.moved);
    pos.whiteKing = y == WhiteCastleShort ? G1 : C1;
  } else if (p == -kKing) {
    ch.undo = kingRightsCode<-1>(pos.moved);
    pos.blackKing = y == BlackCastleShort ? G8 : C8;
  }
}

[[gnu::always_inline]] inline void playEnPassant(Position& pos, Change& ch, int f, int t, int32_t p) {
  int32_t* b = pos.board;
  const int victimSquare = p == kPawn ? t + 10 : t - 10;
  ch.capturedSlot = pos.slotAddress[victimSquare];
  pos.pieceList[ch.capturedSlot] = 0;
  pos.slotAddress[victimSquare] = 0;
  moveSlot(pos, f, t);
  b[t] = p;
  b[f] = 0;
  b[victimSquare] = 0;
  ch.key ^= pieceOn(f, p) ^ pieceOn(t, p) ^ pieceOn(victimSquare, -p);
  (p > 0 ? ch.blackPawns : ch.whitePawns) ^= squareBit[victimSquare];
  ch.captured = -p;
  ch.undo = EnPassant;
}

[[gnu::always_inline]] inline void playPromotion(Position& pos, Change& ch, int f, int t, int32_t p, int32_t victim,
                                                 int y) {
  int32_t* b = pos.board;
  const int32_t piece = promotedPiece(y);
  ch.capturedSlot = pos.slotAddress[t];
  pos.pieceList[ch.capturedSlot] = 0;
  moveSlot(pos, f, t);
  b[f] = 0;
  b[t] = piece;
  ch.key ^= pieceOn(f, p) ^ pieceOn(t, victim) ^ pieceOn(t, piece);
  pos.pieceCount[pieceCountIndex(p)] -= 1;
  pos.pieceCount[pieceCountIndex(piece)] += 1;
  ch.material += pieceValue[piece] - pieceValue[p];
  ch.undo = y;
}

// From wherever king and rook stand (either may already be on its target
// square).
[[gnu::always_inline]] inline void playCastling(Position& pos, Change& ch, int y) {
  int32_t* b = pos.board;
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
  ch.key ^= pieceOn(kingHome, king) ^ pieceOn(rook, rookCode) ^ pieceOn(kingTo, king) ^ pieceOn(rookTo, rookCode);
  ch.from = kingHome;
  ch.to = kingTo;
  ch.captured = 0;
  ch.undo = y;
}

// En passant, a promotion or castling (plain moves and captures take
// playPlainMove below). Without Full only what the move generator reads
// changes (the board, the piece list, the slot and square masks, counts,
// kings, castling flags, en passant, the side to move): perft's last made
// ply.
template <bool Full>
inline void playMove(Position& pos, const Move& move) {
  const int f = move.from, t = move.to, y = move.type;
  const int32_t p = pos.board[f];
  const int32_t victim = pos.board[t];
  const int ply = pos.ply;
  const int prevEp = pos.epField, prevMaterial = pos.material, prevFifty = pos.fifty;
  Change ch{pos.boardKey,
            pos.pawnMask[0],
            pos.pawnMask[1],
            0,
            prevFifty + 1,
            y == EnPassant ? prevEp : 0,
            0,
            0,
            0,
            0,
            f,
            t,
            victim,
            false};
  KeptBefore& kept = keptBefore[ply];
  keepRecord<Full>(kept, pos);

  pos.pieceCount[pieceCountIndex(move.captured)] -= 1;
  const int veto = nullMoveVetoAfter(pos.pieceCount);
  const bool castling = y >= WhiteCastleShort && y <= BlackCastleLong;
  // The mover is the side to move's: its square values count with that sign.
  ch.material = prevMaterial + pos.color * (pieceSquare[p][t] - pieceSquare[p][f]);
  if (victim != 0) takeVictim(pos, ch, victim, t, castling);
  if (y == EnPassant) ch.material -= pieceValue[move.captured];
  noteMover(pos, ch, p, f, t, y);

  if (y == EnPassant)
    playEnPassant(pos, ch, f, t, p);
  else if (y >= WhitePromoQueen)
    playPromotion(pos, ch, f, t, p, victim, y);
  else
    playCastling(pos, ch, y);
  ch.key ^= epSquareKey[prevEp] ^ epSquareKey[ch.ep];

  const int color = -pos.color;
  pos.ply = ply + 1;
  pos.color = color;
  pos.epField = ch.ep;
  pos.slotMask &= ~(1u << ch.capturedSlot);
  moveSliders(pos.sliderSquares, victim, t, y);
  moveOccupied(pos.occupied, p, victim, f, t, y);
  pos.pawnMask[0] = ch.whitePawns;
  pos.pawnMask[1] = ch.blackPawns;
  Move& e = MoveStack[ply];
  e.from = ch.from;
  e.to = ch.to;
  e.captured = ch.captured;
  e.undoCode = ch.undo;
  e.capturedSlot = ch.capturedSlot;
  e.prevEpSquare = prevEp;
  e.capturedRookFlag = ch.rookFlag;
  if constexpr (Full) {
    ++searchPly;
    pos.nullMoveVeto = veto;
    pos.pawnRankFlag = ch.rankFlag;
    pos.material = ch.material;
    pos.fifty = ch.fifty;
    pos.boardKey = ch.key;
    pos.hashkey = ch.key ^ sideKey(color);
    if (ch.pawnsChanged) pos.pawnScore = pawnTerms(ch.whitePawns, ch.blackPawns);
    e.prevFifty = prevFifty;
    e.prevMaterial = prevMaterial;
    keepKeyAfter(e, pos.hashkey);
  }
}

// A plain move or capture, the hottest path of the search and of perft: the
// same kind of changes as playMove, each field written as soon as it is
// known so that few values stay live, and the taken piece's bits cleared
// without a test (a bit that is not set stays clear). Full as in playMove.
template <bool Full>
inline void playPlainMove(Position& pos, const Move& move) {
  const int f = move.from, t = move.to;
  int32_t* b = pos.board;
  const int32_t p = b[f], victim = b[t];
  const int ply = pos.ply, color = pos.color;  // the mover's colour: p > 0 exactly for White
  const int side = color == 1 ? 0 : 1;
  const uint64_t fromBit = squareBit[f], toBit = squareBit[t];

  KeptBefore& kept = keptBefore[ply];
  keepRecord<Full>(kept, pos);

  Move& e = MoveStack[ply];
  const int prevEp = pos.epField, prevFifty = pos.fifty;
  e.from = f;
  e.to = t;
  e.captured = victim;
  e.prevEpSquare = prevEp;
  pos.pieceCount[pieceCountIndex(victim)] -= 1;
  if constexpr (Full) {
    const int prevMaterial = pos.material;
    e.prevFifty = prevFifty;
    e.prevMaterial = prevMaterial;
    pos.nullMoveVeto = nullMoveVetoAfter(pos.pieceCount);
    pos.material = prevMaterial + color * (pieceSquare[p][t] - pieceSquare[p][f]);
  }

  int rankFlag = 0, rookFlag = 0, undo = 0, ep = 0;
  bool irreversible = victim != 0, pawnsChanged = false;
  if (victim != 0) {
    if constexpr (Full) pos.material -= pieceValue[victim];
    if (victim == kPawn) {
      rankFlag = t <= kLastWhitePromotingSquare;
      pawnsChanged = true;
    } else if (victim == -kPawn) {
      rankFlag = t >= kFirstBlackPromotingSquare;
      pawnsChanged = true;
    } else if (victim == -kRook) {
      rookFlag = takeRookRight<-1>(pos, t);
    } else if (victim == kRook) {
      rookFlag = takeRookRight<1>(pos, t);
    }
    pos.pawnMask[1 - side] &= ~toBit;
    pos.sliderSquares[1 - side] &= ~toBit;
    pos.occupied[1 - side] &= ~toBit;
  }
  if (p == kPawn || p == -kPawn) {
    irreversible = pawnsChanged = true;
    pos.pawnMask[side] ^= fromBit | toBit;
    if (t - f == -20 * color) ep = f - 10 * color;
  } else if (p == kKing) {
    undo = kingRightsCode<1>(pos.moved);
    pos.whiteKing = t;
  } else if (p == -kKing) {
    undo = kingRightsCode<-1>(pos.moved);
    pos.blackKing = t;
  } else if (p == kRook) {
    undo = rookLeaves<1>(pos, f);
  } else if (p == -kRook) {
    undo = rookLeaves<-1>(pos, f);
  }
  if (pos.sliderSquares[side] & fromBit) pos.sliderSquares[side] ^= fromBit | toBit;
  pos.occupied[side] ^= fromBit | toBit;

  const int capturedSlot = pos.slotAddress[t];
  const int slot = pos.slotAddress[f];
  pos.pieceList[capturedSlot] = 0;
  pos.pieceList[slot] = t;
  pos.slotAddress[t] = slot;
  pos.slotAddress[f] = 0;
  b[t] = p;
  b[f] = 0;
  pos.slotMask &= ~(1u << capturedSlot);
  pos.ply = ply + 1;
  pos.color = -color;
  pos.epField = ep;
  e.undoCode = undo;
  e.capturedSlot = capturedSlot;
  e.capturedRookFlag = rookFlag;
  if constexpr (Full) {
    pos.pawnRankFlag = rankFlag;
    pos.fifty = irreversible ? 0 : prevFifty + 1;
    PositionKey key = kept.boardKey ^ pieceOn(f, p) ^ pieceOn(t, p) ^ pieceOn(t, victim);
    if (prevEp | ep) key ^= epSquareKey[prevEp] ^ epSquareKey[ep];
    ++searchPly;
    pos.boardKey = key;
    pos.hashkey = key ^ sideKey(-color);
    keepKeyAfter(e, pos.hashkey);
    if (pawnsChanged) pos.pawnScore = pawnTerms(pos.pawnMask[0], pos.pawnMask[1]);
  }
}

// En passant, promotions and castling are rare: their own copy of the make,
// out of line, keeps the common one lean.
template <bool Full>
[[gnu::noinline]] void playSpecialMove(Position& pos, const Move& move) {
  playMove<Full>(pos, move);
}

template <bool Full>
inline void doMove(Position& pos, const Move& move) {
  if (move.type == Normal)
    playPlainMove<Full>(pos, move);
  else
    playSpecialMove<Full>(pos, move);
}

// The castling rights and king squares as they were before the move.
inline void restoreRightsAndKings(Position& pos, const Move& e) {
  const int32_t moved = pos.board[e.to];
  if (moved == kKing) pos.whiteKing = e.from;
  if (moved == -kKing) pos.blackKing = e.from;
  restoreRights(pos.moved, e.undoCode);
  if (e.capturedRookFlag) {
    int flag = e.capturedRookFlag - 1;
    pos.moved[flag] = 0;
    pos.moved[flag == kMovedWhiteShort || flag == kMovedWhiteLong ? kMovedWhiteKing : kMovedBlackKing] = 0;
  }
}

inline void unmakeEnPassant(Position& pos, const Move& e) {
  int32_t* b = pos.board;
  const int f = e.from, t = e.to;
  const bool white = b[t] == kPawn;
  const int victimSquare = white ? t + 10 : t - 10;
  pos.pieceList[e.capturedSlot] = victimSquare;
  pos.slotAddress[victimSquare] = e.capturedSlot;
  moveSlot(pos, t, f);
  b[f] = white ? kPawn : -kPawn;
  b[victimSquare] = white ? -kPawn : kPawn;
  b[t] = 0;
}

inline void unmakeCastling(Position& pos, int code) {
  int32_t* b = pos.board;
  const auto [white, shortSide, kingHome, kingTo, rook, rookTo] = castleSquares(code);
  int slot = pos.slotAddress[rookTo];
  if (rook != rookTo) pos.slotAddress[rookTo] = 0;
  pos.slotAddress[rook] = slot;
  pos.pieceList[slot] = rook;
  b[kingTo] = 0;
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
}

// A plain move, a capture or a promotion: the mover goes back (as a pawn
// after a promotion) and the victim's slot and square are filled again.
template <bool Special>
inline void unmakeQuietCaptureOrPromotion(Position& pos, const Move& e) {
  int32_t* b = pos.board;
  const int f = e.from, t = e.to;
  const int slot = pos.slotAddress[t];
  pos.slotAddress[f] = slot;
  pos.pieceList[slot] = f;
  pos.slotAddress[t] = e.capturedSlot;
  pos.pieceList[e.capturedSlot] = t;
  if (Special && e.undoCode >= WhitePromoQueen) {
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

// Without Special the move was a plain move or capture.
template <bool Full, bool Special>
inline void undoMove(Position& pos) {
  const Move& e = MoveStack[pos.ply - 1];
  --pos.ply;
  const KeptBefore& kept = keptBefore[pos.ply];
  if constexpr (Full) {
    pos.hashkey = e.keyAfter;
    --stackKeyCount[e.keyAfter & kStackKeyBucketMask];
    pos.boardKey = kept.boardKey;
    pos.pawnScore = kept.pawnScore;
    --searchPly;
    pos.fifty = e.prevFifty;
    pos.material = e.prevMaterial;
  }
  pos.slotMask |= 1u << e.capturedSlot;
  restoreMasks(pos, kept);
  pos.color = -pos.color;
  pos.pieceCount[pieceCountIndex(e.captured)] += 1;
  pos.epField = e.prevEpSquare;
  restoreRightsAndKings(pos, e);

  const int code = e.undoCode;
  if (Special && code == EnPassant)
    unmakeEnPassant(pos, e);
  else if (Special && code >= WhiteCastleShort && code <= BlackCastleLong)
    unmakeCastling(pos, code);
  else
    unmakeQuietCaptureOrPromotion<Special>(pos, e);
}

template <bool Full>
[[gnu::noinline]] void undoSpecialMove(Position& pos) {
  undoMove<Full, true>(pos);
}

// A plain move's undo code is 0 or the castling rights it gave up (< 0).
template <bool Full>
inline void takeBack(Position& pos) {
  if (MoveStack[pos.ply - 1].undoCode > 0)
    undoSpecialMove<Full>(pos);
  else
    undoMove<Full, false>(pos);
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
