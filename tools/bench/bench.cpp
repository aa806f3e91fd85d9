// Fixed-depth search bench: every position is searched by iterative
// deepening to its depth with the engine's own search, silently and without
// a time limit. The total of the alpha-beta node counts is the bench
// signature; it changes exactly when the search's behaviour changes.
//
// Usage: bench [reverse]   ("reverse" runs the set last to first; the
// signature must not change, since no position may depend on another).
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/fen.h"
#include "position/key.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/settings.h"
#include "search/driver.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace {

using namespace mavo;

struct BenchPosition {
  const char* fen;
  int depth;
};

constexpr BenchPosition kPositions[] = {
    // Opening and middlegames (castling both ways, pins, an en passant capture).
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", 6},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5},
    {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", 6},
    // Mates: in one, and in two after a queen sacrifice.
    {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", 4},
    {"r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 10", 5},
    // Stalemate: at the root, and as a trap inside the tree.
    {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 5},
    {"7k/8/6K1/8/8/8/8/5Q2 w - - 0 1", 7},
    // Promotions for both sides, with and without capture.
    {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 5},
    // Endgames: pawns with en passant chances, a rook ending near the
    // fifty-move limit, and king and pawn against king.
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 7},
    {"8/8/4k3/8/8/4K3/4R3/8 w - - 94 80", 7},
    {"8/8/8/4k3/8/8/4P3/4K3 w - - 0 1", 10},
};
constexpr int kPositionCount = sizeof kPositions / sizeof kPositions[0];

struct Result {
  uint64_t nodes;
  int64_t ms;
  int score;
  Move best;
  int moveCount;
};

// Iterative deepening to the position's depth, as the console reply runs it.
Result searchPosition(const BenchPosition& bp) {
  Position pos;
  initPosition(pos);  // also reloads the opening piece-square tables
  if (readFen(pos, bp.fen) != FenStatus::Ok) {
    std::fprintf(stderr, "bench: FEN refused: %s\n", bp.fen);
    return Result{0, 0, 0, Move{}, -1};
  }
  resetSearchForFixedDepth();
  const int64_t start = clockMs();
  prepareEvaluation(pos);
  MoveList moves;
  const int n = generateMoves(pos, moves);
  iterate(pos, n, bp.depth + 1, nullptr);
  return Result{searchState.nodes, clockMs() - start, searchState.rootScore, searchState.rootBestMove, n};
}

}  // namespace

int main(int argc, char** argv) {
  const bool reverse = argc > 1 && std::strcmp(argv[1], "reverse") == 0;
  platformInit();
  chess960Mode = 0;
  settings.nullMoveReduction = 1;
  resetPieceValues();
  buildAlignmentTable();
  initKeyTables();

  uint64_t totalNodes = 0;
  int64_t totalMs = 0;
  for (int k = 0; k < kPositionCount; ++k) {
    const int index = reverse ? kPositionCount - 1 - k : k;
    const Result r = searchPosition(kPositions[index]);
    if (r.moveCount < 0) return 1;
    totalNodes += r.nodes;
    totalMs += r.ms;
    char best[8] = "none";
    if (r.moveCount > 0) {
      char letter = promotionLetter(r.best.type);
      std::snprintf(best, sizeof best, "%s", squareName(r.best.from));
      std::snprintf(best + 2, sizeof best - 2, "%s%c", squareName(r.best.to), letter ? letter : '\0');
    }
    std::printf("%2d  depth %2d  nodes %10llu  best %-5s  score %8d\n", index + 1, kPositions[index].depth,
                static_cast<unsigned long long>(r.nodes), best, r.score);
  }
  const double seconds = static_cast<double>(totalMs > 0 ? totalMs : 1) / 1000.0;
  std::printf("Total: %llu nodes %.0f nps\n", static_cast<unsigned long long>(totalNodes),
              static_cast<double>(totalNodes) / seconds);
  return 0;
}
