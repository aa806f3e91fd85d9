#include "frontend/console_reports.h"

#include <cstdio>

#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/notation.h"
#include "search/driver.h"
#include "search/search.h"

namespace mavo {

namespace {

double elapsedSeconds() { return static_cast<double>(searchElapsedMs()) / 1000.0; }

void printConsoleLine(const Position& root, int depth, bool analysis) {
  const int score = searchState.rootScore;
  std::printf("%3d", depth);
  printElapsed(elapsedSeconds());
  if (isMateScore(score)) {
    std::printf("    ");
    std::printf(score > 0 ? "+" : "-");
    int m = mateDistance(score);
    if (analysis && m < 10)
      std::printf("M0%d", m);
    else
      std::printf("M%d", m);
  } else {
    std::printf("%8.2f", score / 100.0);
  }
  std::printf("   ");
  if (root.color == -1) std::printf("...  ");
  if (depth == 1) rootPV.count = 1;
  Position copy = root;
  int length = playableLength(root, rootPV);
  for (int k = 0; k < length; ++k) {
    if (k > 0 && k % 7 == 0) std::printf("\n                     ");
    const Move& m = rootPV.moves[k];
    switch (m.type) {
      case WhiteCastleShort: std::printf("O-O "); break;
      case WhiteCastleLong: std::printf("O--O "); break;
      case BlackCastleShort: std::printf("o-o "); break;
      case BlackCastleLong: std::printf("o--o "); break;
      default: break;
    }
    bool castling = m.type >= WhiteCastleShort && m.type <= BlackCastleLong;
    if (!castling) {
      int32_t piece = copy.board[m.from];
      if (piece != kPawn && piece != -kPawn) std::printf("%c", pieceLetter(piece));
      printSquare(m.from);
      std::printf(copy.board[m.to] != 0 ? "x" : "-");
      printSquare(m.to);
      printPromotion(m.type);
    }
    // Made on the copy with searchPly stepped and not stepped back: after
    // the line it counts the moves printed, which "sort" then reads as its
    // depth.
    makeMove(copy, m);
    if (sideToMoveInCheck(copy)) std::printf(countLegalMoves(copy) == 0 ? "#" : "+");
    std::printf(" ");
  }
  std::printf("\n");
}

}  // namespace

void printElapsed(double seconds) {
  if (seconds < 59.0) {
    std::printf("%7.2f", seconds);
    return;
  }
  int s = static_cast<int>(seconds);
  int m = s / 60, r = s - 60 * m;
  if (r > 9)
    std::printf("%4d:%2d", m, r);
  else
    std::printf("%4d:0%1d", m, r);
}

void printConsoleHeader() {
  std::printf("\n D.");
  std::printf("   ");
  std::printf("Time");
  std::printf("    ");
  std::printf("Score");
  std::printf("  ");
  std::printf("Best line\n");
}

void printReplyLine(const Position& root, int depth) { printConsoleLine(root, depth, false); }
void printAnalysisLine(const Position& root, int depth) { printConsoleLine(root, depth, true); }

// It overwrites itself: a carriage return ends it.
void printConsoleProgress() {
  const SearchState& s = searchState;
  std::printf(">%2d", s.iterationDepth);
  printElapsed(elapsedSeconds());
  std::printf("%8.2f", s.lastImprovedScore / 100.0);
  std::printf("   ");
  printSquare(rootPV.moves[0].from);
  printSquare(rootPV.moves[0].to);
  if (const PieceCode promoted = promotedPiece(s.rootBestMove.type)) std::printf("%c", pieceLetter(promoted));
  if (s.iterationDepth > 3) {
    std::printf("          ");
    std::printf("\b\b\b\b\b\b\b\b\b\b");
    std::printf(" [%d/%d]", s.rootMoveNumber, s.rootMoveCount);
  }
  std::printf("\r");
  std::fflush(stdout);
}

}  // namespace mavo
