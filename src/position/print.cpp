#include "position/print.h"

#include <cinttypes>
#include <cstdio>

#include "frontend/config.h"
#include "frontend/movetext.h"
#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "position/position.h"
#include "search/ordering.h"

namespace mavo {

namespace {

constexpr char kBoardChar[] = "kqrbnp.PNBRQK";  // indexed by code + 6
constexpr const char* kBracketed[] = {"{k}", "{q}", "{r}", "{b}", "{n}", "{p}", " . ",
                                      "[P]", "[N]", "[B]", "[R]", "[Q]", "[K]"};

int moveNumber(const Position& pos) { return pos.color == 1 ? (pos.ply + 2) / 2 : (pos.ply + 1) / 2; }

bool right(const Position& pos, int kingFlag, int rookFlag) { return !pos.moved[kingFlag] && !pos.moved[rookFlag]; }

}  // namespace

void printSquare(int square) {
  if (isPlayingSquare(square)) std::printf("%c%d", 'a' + fileOf(square) - 1, rankOf(square));
}

void printPromotion(int type) {
  switch (type) {
    case WhitePromoQueen: case BlackPromoQueen: std::printf("=Q"); break;
    case WhitePromoRook: std::printf("=R"); break;
    case BlackPromoRook: std::printf("=r"); break;
    case WhitePromoBishop: std::printf("=B"); break;
    case BlackPromoBishop: std::printf("=b"); break;
    case WhitePromoKnight: std::printf("=N"); break;
    case BlackPromoKnight: std::printf("=n"); break;
    default: break;
  }
  std::fflush(stdout);
}

void printBoard(const Position& pos) {
  for (int rank = 8; rank >= 1; --rank) {
    std::printf("\n %d  ", rank);
    for (int file = 1; file <= 8; ++file) std::printf(" %c ", kBoardChar[pos.board[10 * (10 - rank) + file] + 6]);
  }
  std::printf("\n\n     A  B  C  D  E  F  G  H\n");
  if (pos.color == 1)
    std::printf("\nmove: %d, turn: white\n", moveNumber(pos));
  else
    std::printf("\nmove: %d, turn: black\n", moveNumber(pos));
  std::printf("castling: ");
  if (right(pos, kMovedWhiteKing, kMovedWhiteShort)) std::printf("K");
  if (right(pos, kMovedWhiteKing, kMovedWhiteLong)) std::printf("Q");
  if (right(pos, kMovedBlackKing, kMovedBlackShort)) std::printf("k");
  if (right(pos, kMovedBlackKing, kMovedBlackLong)) std::printf("q");
  if (pos.epField) {
    std::printf(", ep-file: ");
    std::printf("%c%d", 'a' + fileOf(pos.epField) - 1, rankOf(pos.epField));
    std::printf("\n");
  } else {
    std::printf(", ep-file: - \n");
  }
}

void printPosition(Position pos) {
  for (int rank = 8; rank >= 1; --rank) {
    std::printf("\n\n%d   ", rank);
    for (int file = 1; file <= 8; ++file) std::printf("%s", kBracketed[pos.board[10 * (10 - rank) + file] + 6]);
  }
  std::printf("\n\n    ");
  for (char c = 'a'; c <= 'h'; ++c) std::printf("%2c ", c);
  std::printf("\n");
  if (pos.color == 1)
    std::printf("\nmove: %d, turn: white", moveNumber(pos));
  else
    std::printf("\nmove: %d, turn: black", moveNumber(pos));
  std::printf("\ncastling: ");
  std::printf("%c", right(pos, kMovedWhiteKing, kMovedWhiteShort) ? 'K' : '-');
  std::printf("%c", right(pos, kMovedWhiteKing, kMovedWhiteLong) ? 'Q' : '-');
  std::printf("%c", right(pos, kMovedBlackKing, kMovedBlackShort) ? 'k' : '-');
  std::printf("%c", right(pos, kMovedBlackKing, kMovedBlackLong) ? 'q' : '-');
  std::printf("\nwhite king: %s", squareName(pos.whiteKing));
  std::printf(" black king: %s", squareName(pos.blackKing));
  if (pos.epField) std::printf("\nEP-field: %s", squareName(pos.epField));
}

void logBoard(Position pos) {
  for (int rank = 8; rank >= 1; --rank) {
    std::fprintf(logFile, "\n\n%d   ", rank);
    for (int file = 1; file <= 8; ++file)
      std::fprintf(logFile, "%s", kBracketed[pos.board[10 * (10 - rank) + file] + 6]);
  }
  std::fprintf(logFile, "\n\n    ");
  for (char c = 'a'; c <= 'h'; ++c) std::fprintf(logFile, "%2c ", c);
  std::fprintf(logFile, "\n\n");
}

void printMoveList(Position pos, const Move* moves, int count) {
  static constexpr char kPromotionLetter[] = {'Q', 'R', 'B', 'N'};
  std::printf("\n");
  for (int i = 0; i < count; ++i) {
    const Move& m = moves[i];
    const int32_t piece = pos.board[m.from];
    const bool castling = m.type >= WhiteCastleShort && m.type <= BlackCastleLong;
    // A Chess960 castling move names the own rook's square: no capture.
    const bool capture = pos.board[m.to] != 0 && !castling;
    if (piece != kPawn && piece != -kPawn) std::printf("%c", kBoardChar[piece + 6]);
    if ((piece == kPawn || piece == -kPawn) && capture) printSquare(m.from);
    if (castling) {
      if ((m.from == E1 && m.to == G1) || (m.from == E8 && m.to == G8)) std::printf(" 0-0 ");
      if ((m.from == E1 && m.to == C1) || (m.from == E8 && m.to == C8)) std::printf(" 0-0-0 ");
    }
    if (capture) std::printf("x");
    if (m.type >= WhitePromoQueen && m.type <= WhitePromoKnight)
      std::printf("%c", kPromotionLetter[m.type - WhitePromoQueen]);
    if (m.type >= BlackPromoQueen) std::printf("%c", kPromotionLetter[m.type - BlackPromoQueen] + ('a' - 'A'));
    if (!(m.type >= 2 && m.captured == 0)) printSquare(m.to);  // en passant shows its square
    makeMove(pos, m);
    MoveList replies;
    int n = generateMoves(pos, replies);
    bool check = sideToMoveInCheck(pos);
    if (check && n > 0) std::printf("+");
    if (check && n == 0) std::printf("#");
    if (!check && n == 0) std::printf("S");
    unmakeMove(pos);
    std::printf(" ");
  }
  std::printf("\n");
}

void printInfo(const Position& pos) {
  std::printf("info board-data:");
  std::printf("\nply: %d", pos.ply);
  std::printf("\nfifty: %d", pos.fifty);
  std::printf("\ncolor: %d", pos.color);
  std::printf("\nmoved: [K:%d,k:%d,RL:%d,RR:%d,rL:%d,rR:%d]", pos.moved[0], pos.moved[1], pos.moved[2],
              pos.moved[3], pos.moved[4], pos.moved[5]);
  std::printf("\nkings: white king:%d, black king:%d", pos.whiteKing, pos.blackKing);
  std::printf("\nmaterial: %d", pos.material);
  std::printf("\nep-field: %d, ", pos.epField);
  std::printf("\nslot-adress:");
  for (int rank = 8; rank >= 1; --rank) {
    std::printf("\n %d  ", rank);
    for (int file = 1; file <= 8; ++file) std::printf("%3d", pos.slotAddress[10 * (10 - rank) + file]);
  }
  std::printf("\n\n     A  B  C  D  E  F  G  H\n");
}

void printStack(const Position& pos) {
  for (int i = 0; i < pos.ply; ++i) {
    std::printf("\n[%d ", i);
    printSquare(MoveStack[i].from);
    printSquare(MoveStack[i].to);
    std::printf("]");
    std::printf(", hashkey: %" PRIu64, MoveStack[i].keyAfter);
  }
  std::printf("\n");
}

void printShowPiece(const Position& pos) {
  std::printf("\n");
  for (int slot = 1; slot <= kLastSlot; ++slot) std::printf("%d-", pos.pieceList[slot]);
  std::printf("\n");
  for (int slot = 1; slot <= kLastSlot; ++slot) std::printf("%d-", pos.board[pos.pieceList[slot]]);
  std::printf("\n");
}

void printSortedMoves(Position& pos) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  // Outside a search searchPly is only a count of moves made and undone;
  // the killer tables have no row for values beyond a search's depths.
  int depth = searchPly >= 0 && searchPly < kKillerSlots ? searchPly : 0;
  scoreMoves(n, moves, pos, depth);
  sortMoves(moves, n);
  std::printf("\nMoves sorted for Alpha-Beta");
  std::printf("\n%d legal moves\n", n);
  for (int i = n - 1; i >= 0; --i) {
    std::printf("\n");
    printSquare(moves[i].from);
    printSquare(moves[i].to);
    if (moves[i].type > 6) printPromotion(moves[i].type);
    std::printf(" value: %3d", moves[i].score);
  }
}

}  // namespace mavo

