#include "frontend/uci_debug.h"

#include <cinttypes>
#include <cstdio>

#include "frontend/printouts.h"
#include "movegen/movegen.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/print.h"
#include "position/settings.h"
#include "position/tables.h"
#include "search/search.h"

namespace mavo {

namespace {

void debugHeader() { std::printf("fuer Debug-Zwecke\n"); }

}  // namespace

void uciBoardOutput(const Position& pos, const char* line) {
  debugHeader();
  if (logFile) {
    std::fprintf(logFile, "\n[GUI-COMMAND] ");
    std::fprintf(logFile, "%s\n", line);
    logBoard(pos);
    std::fflush(logFile);
  }
  printPosition(pos);
  std::printf("\n");
}

void uciStackOutput(const Position& pos, const char* word) {
  debugHeader();
  const int n = pos.ply;
  auto entries = [n](std::FILE* out) {
    for (int k = 1; k <= n; ++k) {
      const Move& e = MoveStack[k - 1];
      std::fprintf(out, "\nvon: %d nach: %d", e.from, e.to);
      std::fprintf(out, " [%d", k);
      std::fprintf(out, " %s-", squareName(e.from));
      std::fprintf(out, "%s]", squareName(e.to));
      std::fprintf(out, "\nply: %d", n);
    }
  };
  entries(stdout);
  // The GUI reads lines: the last record ends its line.
  if (n > 0) std::printf("\n");
  if (logFile) {
    std::fprintf(logFile, "%s", word);
    entries(logFile);
    std::fflush(logFile);
  }
}

void uciShowOutput(Position& pos, bool positionSet) {
  MoveList moves;
  int n = positionSet ? generateMoves(pos, moves) : 0;
  std::printf("\n%d legal moves:\n", n);
  printMoveList(pos, moves, n);
}

void uciDisplay(const Position& pos) {
  std::printf("\n");
  printPosition(pos);
  std::printf("\n");
}

void uciValOutput() {
  std::printf("\n");
  writeBoardFrame(stdout, BoardFrame::Bracketed,
                  [](std::FILE* out, int s) { std::fprintf(out, "%3d", pieceSquare[kKing][s]); });
  std::printf("\n\n    \n");
}

void uciMovesOutput(Position& pos, bool positionSet) {
  MoveList moves;
  int n = positionSet ? generateMoves(pos, moves) : 0;
  std::printf("\n%d legal moves:\n", n);
  for (int i = 0; i < n; ++i) {
    printSquare(moves[i].from);
    printSquare(moves[i].to);
    std::printf("\n");
  }
}

void uciDrawOutput(const Position& pos) {
  const int n = pos.ply;
  std::printf("\n");
  for (int k = n; k >= 0; --k) std::printf("key: %" PRIu64 "\n", MoveStack[k].keyAfter);
  std::printf("\ncheckfordraw: %d\n", checkfordraw(pos));
  std::printf("poskey: %" PRIu64 "\n", pos.hashkey);
  std::printf("ply: %d\n", searchPly);
  std::printf("pcount-ply: %d\n", n);
  std::printf("fifty moves: %d\n", pos.fifty);
}

}  // namespace mavo
