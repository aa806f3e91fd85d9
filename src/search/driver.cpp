#include "search/driver.h"

#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/key.h"
#include "position/position.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace mavo {

namespace {

// The state every search of the console starts from; the countdown to the
// first time check differs between the reply and "analyze".
int startConsoleSearch(Position& pos, Move* moves, int countdown) {
  searchState.stopFlag = 0;
  setDeadline(clockMs() + searchLimits.searchTimeLimit);
  searchState.searchCountdown = countdown;  // progressCountdown keeps its count
  prepareEvaluation(pos);
  searchState.nodes = 0;
  const int n = generateMoves(pos, moves);
  searchState.searchStart = clockMs();
  return n;
}

}  // namespace

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
    const int score = searchState.rootScore;
    if (searchLimits.mateLimit && isMateScore(score) && score > 0 && mateDistance(score) <= searchLimits.mateLimit)
      break;
  }
  return run;
}

int64_t searchElapsedMs() { return clockMs() - searchState.searchStart; }

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

bool runUciSearch(Position& pos, IterationReport report, Move& best, Iterations& run) {
  SearchState& s = searchState;
  s.searchCountdown = kFirstTimeCheckUci;
  s.progressCountdown = kFirstProgressUci;
  s.stopFlag = 0;
  prepareEvaluation(pos);
  s.nodes = 0;
  s.qsNodes = 0;
  MoveList moves;
  const int n = restrictRootMoves(moves, generateMoves(pos, moves));
  s.nullMoveCalls = s.nullMoveCutoffs = s.firstMoveCutoffs = s.otherCutoffs = 0;
  s.rootBestMove.from = s.rootBestMove.to = 0;
  s.savedBestMove.from = s.savedBestMove.to = 0;
  computeKey(pos);
  s.searchStart = clockMs();
  run = iterate(pos, n, searchLimits.depthLimit, report);
  if (s.stopFlag) s.rootBestMove = s.savedBestMove;
  // Stopped before the first iteration completed: nothing was searched to
  // the end, so the first legal move stands in.
  if (n > 0 && s.rootBestMove.from == 0) s.rootBestMove = moves[0];
  if (n > 0 && !searchLimits.unlimited && pos.ply < kMaxGamePly) makeMove(pos, s.rootBestMove);
  best = s.rootBestMove;
  return n > 0;
}

bool runConsoleReply(Position& pos, IterationReport report, Move& reply) {
  MoveList moves;
  const int n = startConsoleSearch(pos, moves, kFirstTimeCheckReply);
  rootPV.count = 1;
  if (n == 0) return false;
  const Move fallback = moves[0];
  const Iterations run = iterate(pos, n, searchLimits.depthLimit, report);
  reply = searchState.rootBestMove;
  if (searchState.stopFlag) {
    const Move& saved = searchState.savedBestMove;
    reply = saved;
    if (run.completed == 0 || (saved.from == fallback.from && saved.to == fallback.to)) reply = fallback;
  }
  return true;
}

void runAnalysis(Position& pos, IterationReport report) {
  MoveList moves;
  const int n = startConsoleSearch(pos, moves, kFirstTimeCheckAnalysis);
  iterate(pos, n, kIterationBound, report);
}

}  // namespace mavo
