#include "movegen/perft.h"

#include <cinttypes>
#include <cstdio>

#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/notation.h"

namespace mavo {

uint64_t perftAccumulator;
uint64_t perftTotal;
uint64_t perftTotalShort;
uint64_t divideTotalsDeep[kMaxMoves];
uint64_t divideTotalsShallow[kMaxMoves];

// The last ply is counted, never made.
int perftCount(Position& pos, int d) {
  if (d == 0) return countLegalMoves(pos);
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    makeMove(pos, moves[i]);
    perftAccumulator += static_cast<uint64_t>(perftCount(pos, d - 1));
    unmakeMove(pos);
  }
  return n;
}

void perftRun(Position& pos, int d) {
  uint64_t u = static_cast<uint64_t>(perftCount(pos, d));
  perftTotal = u + perftAccumulator;
  perftAccumulator = 0;
  perftCount(pos, d - 1);
  perftTotalShort = u + perftAccumulator;
  perftAccumulator = perftTotalShort;
}

namespace {

// Every level of the walk keeps a move list on the stack; deeper counts could
// never finish anyway, but would overflow the stack at once.
constexpr int kMaxPerftDepth = 64;

void resetCounters() { perftAccumulator = perftTotal = perftTotalShort = 0; }

double secondsSince(int64_t t0) { return static_cast<double>(clockMs() - t0) / 1000.0; }

void printMoveSquares(const Move& m) {
  printSquare(m.from);
  printSquare(m.to);
}

// Prints each move with the number of all nodes at depths 1..d below it.
int divideCount(Position& pos, int d) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    printMoveSquares(moves[i]);
    makeMove(pos, moves[i]);
    perftAccumulator += static_cast<uint64_t>(perftCount(pos, d - 1));
    perftTotal += perftAccumulator;
    std::printf(" %" PRIu64 "\n", perftAccumulator);
    unmakeMove(pos);
    perftAccumulator = 0;
  }
  return n;
}

int divideTotals(Position& pos, int d, uint64_t* table, uint64_t& sum) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    makeMove(pos, moves[i]);
    // The call adds into perftAccumulator, so it must run before the read.
    uint64_t r = static_cast<uint64_t>(perftCount(pos, d - 1));
    uint64_t v = perftAccumulator + r;
    sum += v;
    table[i] = v;
    perftAccumulator = 0;
    unmakeMove(pos);
  }
  return n;
}

void printOnePerMove(Position& pos, int* count) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    printMoveSquares(moves[i]);
    std::printf(" %d\n", 1);
  }
  *count = n;
}

}  // namespace

void perftCommand(Position& pos, int n) {
  resetCounters();
  if (n <= 0 || n > kMaxPerftDepth) {
    std::printf("\nwrong input for perft\n");
    return;
  }
  int64_t t0 = clockMs();
  if (n == 1) {
    MoveList moves;
    int count = generateMoves(pos, moves);
    std::printf("\nPerft (1): %d nodes", count);
  } else {
    perftRun(pos, n - 1);
    std::printf("\nPerft (%d): %" PRIu64, n, perftTotal - perftTotalShort);
  }
  std::printf(", Time: %3.3f s", secondsSince(t0));
}

void perft2Command(Position& pos, int n) {
  resetCounters();
  if (n <= 0 || n > kMaxPerftDepth) {
    std::printf("\nwrong input for perft2\n");
    return;
  }
  if (n == 1) {
    perftCommand(pos, 1);
    return;
  }
  int64_t t0 = clockMs();
  perftRun(pos, n - 1);
  std::printf("\nPerft (2): %d total nodes: %" PRIu64, n, perftTotal);
  std::printf(", Time: %3.3f s", secondsSince(t0));
}

void divideCommand(Position& pos, int n) {
  resetCounters();
  for (int i = 0; i < kMaxMoves; ++i) divideTotalsDeep[i] = divideTotalsShallow[i] = 0;
  if (n <= 0 || n > kMaxPerftDepth) {
    std::printf("\nwrong input for divide\n");
  } else if (n == 1) {
    std::printf("\n");
    int count = 0;
    printOnePerMove(pos, &count);
    std::printf("Moves: %d\n", count);
  } else if (n == 2) {
    int count = divideCount(pos, 1);
    std::printf("Moves: %d\n", count);
    std::printf("Nodes: %" PRIu64 "\n", perftTotal);
  } else {
    int count = divideTotals(pos, n - 1, divideTotalsDeep, perftTotal);
    perftAccumulator = 0;
    divideTotals(pos, n - 2, divideTotalsShallow, perftTotalShort);
    std::printf("\n");
    MoveList moves;
    generateMoves(pos, moves);
    for (int i = 0; i < count; ++i) {
      printMoveSquares(moves[i]);
      std::printf(" %" PRIu64 "\n", divideTotalsDeep[i] - divideTotalsShallow[i]);
    }
    std::printf("\nMoves: %u", static_cast<unsigned>(count));
    std::printf("\nNodes: %" PRIu64, perftTotal - perftTotalShort);
  }
}

void divide2Command(Position& pos, int n) {
  resetCounters();
  std::printf("\n");
  if (n == 1) {
    int count = 0;
    printOnePerMove(pos, &count);
    std::printf("Nodes: %d\n", count);
  } else if (n >= 2 && n <= kMaxPerftDepth) {
    int count = divideCount(pos, n - 1);
    std::printf("Nodes: %" PRIu64 "\n", static_cast<uint64_t>(count) + perftTotal);
  }
}

}  // namespace mavo
