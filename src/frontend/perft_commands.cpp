#include "frontend/perft_commands.h"

#include <cinttypes>
#include <cstdio>

#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "movegen/perft.h"
#include "platform/platform.h"
#include "position/notation.h"

namespace mavo {

namespace {

double secondsSince(int64_t t0) { return static_cast<double>(clockMs() - t0) / 1000.0; }

bool validDepth(int n) { return n > 0 && n <= kMaxPerftDepth; }

void printMoveSquares(const Move& m) {
  printSquare(m.from);
  printSquare(m.to);
}

// Each move with the count of one walk below it, `d` plies deep: all the
// positions it reaches (`total`) or only the deepest ones. Returns the sum.
uint64_t countPerMove(Position& pos, const Move* moves, int n, int d, bool total, uint64_t* counts) {
  uint64_t sum = 0;
  for (int i = 0; i < n; ++i) {
    makeMove(pos, moves[i]);
    const PerftCounts below = perftWalk(pos, d);
    unmakeMove(pos);
    counts[i] = total ? below.total : below.leaves;
    sum += counts[i];
  }
  return sum;
}

void printOnePerMove(const Move* moves, int n) {
  for (int i = 0; i < n; ++i) {
    printMoveSquares(moves[i]);
    std::printf(" %d\n", 1);
  }
}

void printPerMove(const Move* moves, int n, const uint64_t* counts) {
  for (int i = 0; i < n; ++i) {
    printMoveSquares(moves[i]);
    std::printf(" %" PRIu64 "\n", counts[i]);
  }
}

}  // namespace

uint64_t perftPerMove(Position& pos, const Move* moves, int n, int depth, uint64_t* counts) {
  if (depth > 1) return countPerMove(pos, moves, n, depth - 2, false, counts);
  for (int i = 0; i < n; ++i) counts[i] = 1;
  return static_cast<uint64_t>(n);
}

void perftCommand(Position& pos, int n) {
  if (!validDepth(n)) {
    std::printf("\nwrong input for perft\n");
    return;
  }
  const int64_t t0 = clockMs();
  const uint64_t nodes = perft(pos, n);
  if (n == 1)
    std::printf("\nPerft (1): %d nodes", static_cast<int>(nodes));
  else
    std::printf("\nPerft (%d): %" PRIu64, n, nodes);
  std::printf(", Time: %3.3f s", secondsSince(t0));
}

void perft2Command(Position& pos, int n) {
  if (!validDepth(n)) {
    std::printf("\nwrong input for perft2\n");
    return;
  }
  if (n == 1) {
    perftCommand(pos, 1);
    return;
  }
  const int64_t t0 = clockMs();
  const uint64_t nodes = perftWalk(pos, n - 1).total;
  std::printf("\nPerft (2): %d total nodes: %" PRIu64, n, nodes);
  std::printf(", Time: %3.3f s", secondsSince(t0));
}

void divideCommand(Position& pos, int n) {
  if (!validDepth(n)) {
    std::printf("\nwrong input for divide\n");
    return;
  }
  MoveList moves;
  const int count = generateMoves(pos, moves);
  if (n == 1) {
    std::printf("\n");
    printOnePerMove(moves, count);
    std::printf("Moves: %d\n", count);
    return;
  }
  uint64_t counts[kMaxMoves];
  const uint64_t nodes = countPerMove(pos, moves, count, n - 2, false, counts);
  if (n == 2) {
    printPerMove(moves, count, counts);
    std::printf("Moves: %d\n", count);
    std::printf("Nodes: %" PRIu64 "\n", nodes);
    return;
  }
  std::printf("\n");
  printPerMove(moves, count, counts);
  std::printf("\nMoves: %u", static_cast<unsigned>(count));
  std::printf("\nNodes: %" PRIu64, nodes);
}

// Per move, all the positions up to n - 1 plies below it.
void divide2Command(Position& pos, int n) {
  std::printf("\n");
  if (!validDepth(n)) return;
  MoveList moves;
  const int count = generateMoves(pos, moves);
  if (n == 1) {
    printOnePerMove(moves, count);
    std::printf("Nodes: %d\n", count);
    return;
  }
  uint64_t counts[kMaxMoves];
  const uint64_t nodes = countPerMove(pos, moves, count, n - 2, true, counts);
  printPerMove(moves, count, counts);
  std::printf("Nodes: %" PRIu64 "\n", static_cast<uint64_t>(count) + nodes);
}

}  // namespace mavo
