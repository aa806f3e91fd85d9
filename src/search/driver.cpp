#include "search/driver.h"

#include <cstdio>
#include <cstring>

#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/position.h"
#include "position/settings.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace mavo {

namespace {

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// The state every search of the console starts from; the countdown to the
// first time check differs between the reply and "analyze".
int startConsoleSearch(Position& pos, Move* moves, int countdown, bool unlimited) {
  searchState.stopFlag = 0;
  searchLimits.searchDeadline = clockMs() + searchLimits.searchTimeLimit;
  searchState.searchCountdown = countdown;  // progressCountdown keeps its count
  searchLimits.unlimited = unlimited;
  prepareEvaluation(pos);
  searchState.nodes = 0;
  const int n = generateMoves(pos, moves);
  searchState.searchStart = clockMs();
  return n;
}

}  // namespace

void setUciTimeBudget(const GoValues& go, int color) {
  SearchLimits& l = searchLimits;
  l.searchTimeLimit = go.infiniteSearch ? kInfiniteSearchTime : kGoDefaultTime;
  const bool white = color == 1;
  const int clock = white ? go.whiteTime : go.blackTime;
  const int increment = white ? go.whiteIncrement : go.blackIncrement;
  if (go.moveTime == 0 && l.searchTimeLimit == kGoDefaultTime) {
    if (increment && clock)
      l.searchTimeLimit = clock / 40 + increment;
    else if (increment)
      l.searchTimeLimit = increment;
    else
      l.searchTimeLimit = clock / 30;
    // An increment close to the time left would lose on time: the move
    // must be made before the clock runs out, the increment comes after.
    if (clock > 0 && l.searchTimeLimit > clock / 2) l.searchTimeLimit = clock / 2;
  }
  l.ponderTimeLimit = l.searchTimeLimit;
  if (static_cast<uint64_t>(l.ponderTimeLimit) <= 1000) l.ponderTimeLimit = 1000;
  if (go.moveTime) l.searchTimeLimit = go.moveTime;
  if (go.infiniteSearch) l.searchTimeLimit = kInfiniteSearchTime;
  if (go.ponder) l.searchTimeLimit = l.ponderTimeLimit;
  if (go.ponderhit) l.searchTimeLimit = l.ponderTimeLimit;
  l.searchDeadline = clockMs() + l.searchTimeLimit;
}

int checkInput() {
  // Nobody can receive the result any more: searching on would be for no one.
  if (outputClosed()) {
    searchLimits.searchDeadline = 0;
    return 1;
  }
  // The search is only unwinding after a stop: lines that came with the
  // stop line wait for the command loop.
  if (searchState.stopFlag) return 1;
  if (!inputAvailable()) return 0;
  char text[256];
  int len = pollLine(text, sizeof text);
  if (len < 0) return searchLimits.unlimited ? 1 : 0;
  if (len == 0) return 0;
  text[std::strcspn(text, "\n")] = '\0';
  if (logFile) {
    std::fprintf(logFile, ">>> RECEIVED FROM GUI >>> ");
    std::fprintf(logFile, "%s\n", text);
    std::fflush(logFile);
  }
  if (startsWith(text, "exi") || startsWith(text, "sto") || startsWith(text, "pos") || startsWith(text, "top")) {
    searchLimits.searchDeadline = 0;
    return 1;
  }
  if (searchHooks.otherLine) searchHooks.otherLine(text);
  return 0;
}

Iterations iterate(Position& pos, int rootMoves, int depthBound, IterationReport report) {
  Iterations run{0, 0};
  for (int depth = 1; rootMoves > 0 && depth < depthBound && !searchState.stopFlag; ++depth) {
    searchState.savedBestMove = searchState.rootBestMove;
    searchPly = 0;
    searchState.iterationDepth = depth;
    searchState.rootScore = alphaBeta(pos, -kInfinity, kInfinity, 0, depth, rootPV, 0);
    ++run.started;
    if (searchState.stopFlag) break;
    ++run.completed;
    if (report) report(pos, depth);
  }
  return run;
}

int playableLength(Position pos, const PvLine& line) {
  const int keptSearchPly = searchPly;
  int k = 0;
  for (; k < line.count; ++k) {
    MoveList moves;
    int n = generateMoves(pos, moves);
    bool legal = false;
    for (int i = 0; i < n && !legal; ++i)
      legal =
          moves[i].from == line.moves[k].from && moves[i].to == line.moves[k].to && moves[i].type == line.moves[k].type;
    if (!legal || pos.ply >= kMoveStackSize - 1) break;
    makeMove(pos, line.moves[k]);
  }
  searchPly = keptSearchPly;
  return k;
}

bool runUciSearch(Position& pos, bool infinite, IterationReport report, Move& best, Iterations& run) {
  SearchState& s = searchState;
  s.searchCountdown = 256;
  s.progressCountdown = 16384;
  s.stopFlag = 0;
  searchLimits.unlimited = infinite;
  prepareEvaluation(pos);
  s.nodes = 0;
  s.qsNodes = 0;
  MoveList moves;
  const int n = generateMoves(pos, moves);
  s.nullMoveCalls = s.nullMoveCutoffs = s.firstMoveCutoffs = s.otherCutoffs = 0;
  s.rootBestMove.from = s.rootBestMove.to = 0;
  s.savedBestMove.from = s.savedBestMove.to = 0;
  computeKey(pos);
  s.searchStart = clockMs();
  run = iterate(pos, n, kIterationBound, report);
  searchLimits.unlimited = false;
  if (s.stopFlag) s.rootBestMove = s.savedBestMove;
  // Stopped before the first iteration completed: nothing was searched to
  // the end, so the first legal move stands in.
  if (n > 0 && s.rootBestMove.from == 0) s.rootBestMove = moves[0];
  if (n > 0 && !infinite && pos.ply < kMaxGamePly) makeMove(pos, s.rootBestMove);
  best = s.rootBestMove;
  return n > 0;
}

bool runConsoleReply(Position& pos, IterationReport report, Move& reply) {
  MoveList moves;
  const int n = startConsoleSearch(pos, moves, 16384, false);
  const Move fallback = moves[0];
  rootPV.count = 1;
  const Iterations run = iterate(pos, n, searchLimits.depthLimit, report);
  if (n == 0) return false;
  reply = searchState.rootBestMove;
  if (searchState.stopFlag) {
    const Move& saved = searchState.savedBestMove;
    reply = saved;
    if (run.completed == 0 || (saved.from == fallback.from && saved.to == fallback.to)) reply = fallback;
  }
  return true;
}

void runAnalysis(Position& pos, IterationReport report) {
  const int64_t keptLimit = searchLimits.searchTimeLimit;
  searchLimits.searchTimeLimit = kNoTimeLimit;
  MoveList moves;
  const int n = startConsoleSearch(pos, moves, 4096, true);
  iterate(pos, n, kIterationBound, report);
  searchLimits.unlimited = false;
  searchLimits.searchTimeLimit = keptLimit;
}

}  // namespace mavo
