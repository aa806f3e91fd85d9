#include "position/fen.h"

#include <cstring>

#include "position/board_attacks.h"
#include "position/key.h"
#include "position/notation.h"
#include "position/position.h"

namespace mavo {

namespace {

PieceCode pieceFromLetter(char c) {
  switch (c) {
    case 'K': return 6;
    case 'Q': return 5;
    case 'R': return 4;
    case 'B': return 3;
    case 'N': return 2;
    case 'P': return 1;
    case 'k': return -6;
    case 'q': return -5;
    case 'r': return -4;
    case 'b': return -3;
    case 'n': return -2;
    case 'p': return -1;
    default: return 0;
  }
}

// Bounded view of the FEN text: characters past the end (or past the
// reader's limit) read as the terminator.
struct FenText {
  const char* p;
  int len;
  char at(int i) const { return i < len ? p[i] : '\0'; }
};

int findOutermostRook(const int32_t* board, int from, int step, int stop, PieceCode rook) {
  for (int s = from; s != stop; s += step)
    if (board[s] == rook) return s;
  return 0;
}

// What the reader builds before anything is committed: the record, and the
// castling geometry that goes to the globals.
struct FenRecord {
  Position w;
  int rookSquare[4] = {A1, H1, A8, H8};
  int kingSquare[2] = {castleKingSquare[0], castleKingSquare[1]};
  bool xfen[4] = {false, false, false, false};  // K Q k q were given, for Chess960 mode
  int counts[13] = {};                          // pieces by code + 6
};

// One side's castling indices.
struct CastleSide {
  int kingFlag, longFlag, shortFlag;
  int longIndex, shortIndex;
  int homeA;  // a-file square of the back rank
  PieceCode rook;
};
constexpr CastleSide kWhiteSide{kMovedWhiteKing, kMovedWhiteLong, kMovedWhiteShort, kWhiteLong, kWhiteShort, A1, kRook};
constexpr CastleSide kBlackSide{kMovedBlackKing, kMovedBlackLong, kMovedBlackShort, kBlackLong, kBlackShort, A8,
                                -kRook};

// At most 142 characters are read.
FenText fenText(const char* text) {
  FenText t{text, 0};
  while (t.len < 142 && t.p[t.len] != '\0') ++t.len;
  return t;
}

// Empty lists, every right gone, White to move, counters cleared.
void clearRecord(Position& w) {
  for (int& v : w.pieceList) v = 0;
  for (int& v : w.slotAddress) v = 0;
  for (int& v : w.pieceCount) v = 0;
  for (int& m : w.moved) m = 1;
  w.color = 1;
  w.nullMoveVeto = 1;
  w.epField = 0;
  w.fifty = 0;
  w.ply = 0;
  std::memcpy(w.board, kEmptyBoard.v, sizeof w.board);
}

// Board field, at most 100 characters: slashes are optional, the border
// carries a full rank on.
void readBoardField(const FenText& t, int& i, Position& w) {
  int s = A8, nextRank = A7;
  for (int n = 0; n < 100 && t.at(i) != '\0' && s < 99; ++n) {
    char c = t.at(i++);
    if (c >= '0' && c <= '9') {
      s += c - '0';
    } else if (PieceCode p = pieceFromLetter(c)) {
      w.board[s] = p;
      if (p == kKing) w.whiteKing = s;
      if (p == -kKing) w.blackKing = s;
      ++s;
    } else if (c == '/') {
      s = nextRank;
      nextRank += 10;
    }
    while (s < 99 && w.board[s] == kBorder) ++s;
  }
}

void readSideField(const FenText& t, int& i, Position& w) {
  while (t.at(i) == ' ') ++i;
  if (t.at(i) == 'w') {
    w.color = 1;
    ++i;
  } else if (t.at(i) == 'b') {
    w.color = -1;
    ++i;
  }
}

// K, Q, k, q in this order, each optional.
void readStandardCastling(const FenText& t, int& i, FenRecord& r) {
  while (t.at(i) == ' ') ++i;
  struct Letter {
    char c;
    int kingFlag, rookFlag, rookIndex, rookHome;
  };
  static constexpr Letter kLetters[4] = {{'K', kMovedWhiteKing, kMovedWhiteShort, kWhiteShort, H1},
                                         {'Q', kMovedWhiteKing, kMovedWhiteLong, kWhiteLong, A1},
                                         {'k', kMovedBlackKing, kMovedBlackShort, kBlackShort, H8},
                                         {'q', kMovedBlackKing, kMovedBlackLong, kBlackLong, A8}};
  for (int n = 0; n < 4; ++n) {
    const Letter& l = kLetters[n];
    if (t.at(i) != l.c) continue;
    r.w.moved[l.kingFlag] = r.w.moved[l.rookFlag] = 0;
    r.rookSquare[l.rookIndex] = l.rookHome;
    r.xfen[n] = true, ++i;
  }
}

// X-FEN: K/Q (k/q) name the outermost rook on that side of a king on its
// back rank.
void findXfenRooks(FenRecord& r, const CastleSide& side, int king, bool shortGiven, bool longGiven) {
  if (king < side.homeA || king > side.homeA + 7) return;
  if (shortGiven) r.rookSquare[side.shortIndex] = findOutermostRook(r.w.board, side.homeA + 7, -1, king, side.rook);
  if (longGiven) r.rookSquare[side.longIndex] = findOutermostRook(r.w.board, side.homeA, 1, king, side.rook);
}

// Shredder-FEN file letters of one side, from the h-file down, each optional.
void readFileLetters(const FenText& t, int& i, FenRecord& r, const CastleSide& side, char fileA, int king) {
  for (char letter = static_cast<char>(fileA + 7); letter >= fileA; --letter) {
    if (t.at(i) != letter) continue;
    ++i;
    int sq = side.homeA + (letter - fileA);
    r.w.moved[side.kingFlag] = 0;
    bool longSide = letter <= fileA + 1 || (letter <= fileA + 5 && king >= sq);
    if (letter >= fileA + 6) longSide = false;
    r.w.moved[longSide ? side.longFlag : side.shortFlag] = 0;
    r.rookSquare[longSide ? side.longIndex : side.shortIndex] = sq;
  }
}

void readChess960Castling(const FenText& t, int& i, FenRecord& r) {
  for (int& sq : r.rookSquare) sq = 0;
  findXfenRooks(r, kWhiteSide, r.w.whiteKing, r.xfen[0], r.xfen[1]);
  findXfenRooks(r, kBlackSide, r.w.blackKing, r.xfen[2], r.xfen[3]);
  readFileLetters(t, i, r, kWhiteSide, 'A', r.w.whiteKing);
  readFileLetters(t, i, r, kBlackSide, 'a', r.w.blackKing);
}

// A square on rank 3 or 6, or a bare file letter followed by a blank (the
// rank follows from the side to move).
void readEnPassantField(const FenText& t, int& i, Position& w) {
  while (t.at(i) == ' ' || t.at(i) == '-') ++i;
  if (t.at(i) >= 'a' && t.at(i) <= 'h' && (t.at(i + 1) == '3' || t.at(i + 1) == '6')) {
    w.epField = 21 + (t.at(i) - 'a') + 10 * (8 - (t.at(i + 1) - '0'));
    i += 2;
  }
  if (t.at(i) >= 'a' && t.at(i) <= 'h' && t.at(i + 1) == ' ') {
    w.epField = (w.color == 1 ? A6 : A3) + (t.at(i) - 'a');
    i += 2;
  }
}

// The half-move counter; the move number is not kept.
void readCounters(const FenText& t, int& i, Position& w) {
  while (t.at(i) == ' ' || t.at(i) == '-') ++i;
  int fifty = 0;
  while (t.at(i) >= '0' && t.at(i) <= '9' && fifty < 100000) fifty = fifty * 10 + (t.at(i++) - '0');
  w.fifty = fifty;
}

// What the record cannot hold, or what no legal game can reach and the
// search cannot survive.
FenStatus refusal(FenRecord& r) {
  const Position& w = r.w;
  const int32_t* board = w.board;
  int* counts = r.counts;
  for (int sq = A8; sq <= H1; ++sq)
    if (board[sq] != kBorder) counts[board[sq] + 6]++;
  // Kings are counted on the finished board: a slash can lead back to a rank
  // already written, and a later letter may overwrite a king.
  if (counts[kKing + 6] != 1 || counts[-kKing + 6] != 1 || board[w.whiteKing] != kKing || board[w.blackKing] != -kKing)
    return FenStatus::KingCount;
  if (counts[kPawn + 6] > 8 || counts[-kPawn + 6] > 8) return FenStatus::TooManyPieces;
  int whitePieces = 0, blackPieces = 0;
  for (int c = kKnight; c <= kQueen; ++c) whitePieces += counts[c + 6], blackPieces += counts[-c + 6];
  if (whitePieces > 7 || blackPieces > 7) return FenStatus::TooManyPieces;
  for (int f = 0; f < 8; ++f)
    if (board[A8 + f] == kPawn || board[A8 + f] == -kPawn || board[A1 + f] == kPawn || board[A1 + f] == -kPawn)
      return FenStatus::PawnOnEdgeRank;
  if (w.color == 1 ? isAttackedByWhite(board, w.blackKing) : isAttackedByBlack(board, w.whiteKing))
    return FenStatus::KingCapturable;
  return FenStatus::Ok;
}

// A right needs its king at home and its rook on the rook square;
// otherwise a later rook arriving there could castle.
void cleanUpCastlingRights(FenRecord& r) {
  Position& w = r.w;
  const CastleSide* sides[2] = {&kWhiteSide, &kBlackSide};
  int king[2] = {w.whiteKing, w.blackKing};
  for (int n = 0; n < 2; ++n) {
    const CastleSide& side = *sides[n];
    bool kingHome = chess960Mode ? (king[n] >= side.homeA && king[n] <= side.homeA + 7) : king[n] == side.homeA + 4;
    if (!kingHome) w.moved[side.kingFlag] = 1;
    const int rookFlag[2] = {side.longFlag, side.shortFlag};
    const int rookIndex[2] = {side.longIndex, side.shortIndex};
    for (int k = 0; k < 2; ++k) {
      if (w.moved[side.kingFlag]) w.moved[rookFlag[k]] = 1;
      int sq = r.rookSquare[rookIndex[k]];
      if (sq == 0 || w.board[sq] != side.rook) w.moved[rookFlag[k]] = 1;
    }
  }
  if (!w.moved[kMovedWhiteKing]) r.kingSquare[0] = w.whiteKing;
  if (!w.moved[kMovedBlackKing]) r.kingSquare[1] = w.blackKing;
}

// Piece counts, and the slot groups, each filled in increasing square order.
void assignPieceList(FenRecord& r) {
  Position& w = r.w;
  for (int c = -kQueen; c <= kQueen; ++c)
    if (c != 0) w.pieceCount[pieceCountIndex(c)] = r.counts[c + 6];
  int next[4] = {kWhitePawnSlots, kWhitePieceSlots, kBlackPawnSlots, kBlackPieceSlots};
  for (int group = 0; group < 4; ++group) {
    for (int sq = A8; sq <= H1; ++sq) {
      int32_t c = w.board[sq];
      bool member = false;
      switch (group) {
        case 0: member = c == kPawn; break;
        case 1: member = c >= kKnight && c <= kQueen; break;
        case 2: member = c == -kPawn; break;
        case 3: member = c <= -kKnight && c >= -kQueen; break;
      }
      if (!member) continue;
      w.pieceList[next[group]] = sq;
      w.slotAddress[sq] = next[group]++;
    }
  }
}

}  // namespace

const char* fenStatusText(FenStatus status) {
  switch (status) {
    case FenStatus::Ok: return "ok";
    case FenStatus::TooManyPieces: return "more than 8 pawns or 7 other pieces on one side";
    case FenStatus::KingCount: return "each side needs exactly one king";
    case FenStatus::PawnOnEdgeRank: return "pawn on the first or last rank";
    case FenStatus::KingCapturable: return "the side not to move is in check";
  }
  return "";
}

FenStatus readFen(Position& pos, const char* text) {
  const FenText t = fenText(text);
  FenRecord r{pos};  // committed only when the text describes a usable position
  clearRecord(r.w);
  int i = 0;
  readBoardField(t, i, r.w);
  readSideField(t, i, r.w);
  readStandardCastling(t, i, r);
  if (chess960Mode) readChess960Castling(t, i, r);
  readEnPassantField(t, i, r.w);
  readCounters(t, i, r.w);
  if (FenStatus status = refusal(r); status != FenStatus::Ok) return status;
  cleanUpCastlingRights(r);
  assignPieceList(r);

  computeKey(r.w);
  computeMasks(r.w);
  pos = r.w;
  for (int n = 0; n < 4; ++n) castleRookSquare[n] = r.rookSquare[n];
  castleKingSquare[0] = r.kingSquare[0];
  castleKingSquare[1] = r.kingSquare[1];
  searchPly = 0;
  return FenStatus::Ok;
}

void writeFen(const Position& pos, char* out) {
  char* o = out;
  for (int s = A8; s <= H1;) {
    int32_t c = pos.board[s];
    if (c == kBorder) {
      *o++ = '/';
      s += 2;
    } else if (c == 0) {
      int run = 0;
      while (pos.board[s] == 0) ++run, ++s;
      *o++ = static_cast<char>('0' + run);
    } else {
      *o++ = pieceLetter(c);
      ++s;
    }
  }
  *o++ = ' ';
  *o++ = pos.color == 1 ? 'w' : 'b';
  *o++ = ' ';
  char* castling = o;
  const int* m = pos.moved;
  if (!m[kMovedWhiteKing] && !m[kMovedWhiteShort] && pos.whiteKing == E1 && pos.board[H1] == kRook) *o++ = 'K';
  if (!m[kMovedWhiteKing] && !m[kMovedWhiteLong] && pos.whiteKing == E1 && pos.board[A1] == kRook) *o++ = 'Q';
  if (!m[kMovedBlackKing] && !m[kMovedBlackShort] && pos.blackKing == E8 && pos.board[H8] == -kRook) *o++ = 'k';
  if (!m[kMovedBlackKing] && !m[kMovedBlackLong] && pos.blackKing == E8 && pos.board[A8] == -kRook) *o++ = 'q';
  if (o == castling) *o++ = '-';
  *o++ = ' ';
  int ep = pos.epField;
  if ((ep >= A3 && ep <= H3) || (ep >= A6 && ep <= H6)) {
    *o++ = static_cast<char>('a' + fileOf(ep) - 1);
    *o++ = ep >= A3 ? '3' : '6';
  } else {
    *o++ = '-';
  }
  *o++ = ' ';
  *o = '\0';
}

}  // namespace mavo
