#include "position/print.h"

#include <cinttypes>

#include "position/fen.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/settings.h"

namespace mavo {

namespace {

constexpr const char* kBracketed[] = {"{k}", "{q}", "{r}", "{b}", "{n}", "{p}", " . ",
                                      "[P]", "[N]", "[B]", "[R]", "[Q]", "[K]"};  // by code + 6

bool right(const Position& pos, int kingFlag, int rookFlag) { return !pos.moved[kingFlag] && !pos.moved[rookFlag]; }

void writeTurn(std::FILE* out, const Position& pos) {
  std::fprintf(out, "\nmove: %d, turn: %s", moveNumber(pos), pos.color == 1 ? "white" : "black");
}

// The four castling rights as K, Q, k, q; a right that is gone as `gone`
// (nothing when it is 0).
void writeRights(std::FILE* out, const Position& pos, char gone) {
  const char letters[] = {'K', 'Q', 'k', 'q'};
  const int rights[][2] = {{kMovedWhiteKing, kMovedWhiteShort},
                           {kMovedWhiteKing, kMovedWhiteLong},
                           {kMovedBlackKing, kMovedBlackShort},
                           {kMovedBlackKing, kMovedBlackLong}};
  for (int r = 0; r < 4; ++r) {
    const char c = right(pos, rights[r][0], rights[r][1]) ? letters[r] : gone;
    if (c) std::fputc(c, out);
  }
}

}  // namespace

void printBoard(const Position& pos) {
  writeBoardFrame(stdout, BoardFrame::Console,
                  [&pos](std::FILE* out, int s) { std::fprintf(out, " %c ", pieceLetter(pos.board[s])); });
  writeTurn(stdout, pos);
  std::printf("\n");
  std::printf("castling: ");
  writeRights(stdout, pos, 0);
  if (pos.epField) {
    std::printf(", ep-file: ");
    printSquare(pos.epField);
    std::printf("\n");
  } else {
    std::printf(", ep-file: - \n");
  }
}

void writeBracketedBoard(std::FILE* out, const Position& pos) {
  writeBoardFrame(out, BoardFrame::Bracketed,
                  [&pos](std::FILE* o, int s) { std::fprintf(o, "%s", kBracketed[pos.board[s] + 6]); });
}

void printPosition(const Position& pos) {
  writeBracketedBoard(stdout, pos);
  std::printf("\n");
  writeTurn(stdout, pos);
  std::printf("\ncastling: ");
  writeRights(stdout, pos, '-');
  std::printf("\nwhite king: %s", squareName(pos.whiteKing));
  std::printf(" black king: %s", squareName(pos.blackKing));
  if (pos.epField) std::printf("\nEP-field: %s", squareName(pos.epField));
}

void logBoard(const Position& pos) {
  writeBracketedBoard(logFile, pos);
  std::fprintf(logFile, "\n\n");
}

void printInfo(const Position& pos) {
  std::printf("info board-data:");
  std::printf("\nply: %d", pos.ply);
  std::printf("\nfifty: %d", pos.fifty);
  std::printf("\ncolor: %d", pos.color);
  std::printf("\nmoved: [K:%d,k:%d,RL:%d,RR:%d,rL:%d,rR:%d]", pos.moved[0], pos.moved[1], pos.moved[2], pos.moved[3],
              pos.moved[4], pos.moved[5]);
  std::printf("\nkings: white king:%d, black king:%d", pos.whiteKing, pos.blackKing);
  std::printf("\nmaterial: %d", pos.material);
  std::printf("\nep-field: %d, ", pos.epField);
  std::printf("\nslot-adress:");
  writeBoardFrame(stdout, BoardFrame::Console,
                  [&pos](std::FILE* out, int s) { std::fprintf(out, "%3d", pos.slotAddress[s]); });
}

void writeFenLine(std::FILE* out, const Position& pos) {
  char fen[96];
  writeFen(pos, fen);
  std::fprintf(out, "\nfen: %s", fen);
  std::fprintf(out, "%d", pos.fifty);
  std::fprintf(out, " %d\n", moveNumber(pos));
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

}  // namespace mavo
