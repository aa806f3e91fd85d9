#include "frontend/uci_reports.h"

#include <cstdio>

#include "platform/platform.h"
#include "position/notation.h"
#include "position/settings.h"
#include "search/search.h"

namespace mavo {

namespace {

// Nodes per second over the elapsed milliseconds (at least one).
double nodesPerSecond(double ms) { return static_cast<double>(searchState.nodes) / ((ms > 0 ? ms : 1.0) / 1000.0); }

// The score of an info line; the log's form has no blank after a cp score.
void writeScore(std::FILE* out, bool log) {
  const int score = searchState.rootScore;
  if (isMateScore(score)) {
    if (score > 0)
      std::fprintf(out, "score mate %d ", mateDistance(score));
    else
      std::fprintf(out, "score mate -%d ", mateDistance(score));
  } else {
    std::fprintf(out, log ? "score cp %d" : "score cp %d ", score);
  }
}

void writePv(std::FILE* out, int length) {
  for (int k = 0; k < length; ++k) {
    writeUciMove(out, rootPV.moves[k]);
    std::fprintf(out, " ");
  }
  std::fprintf(out, "\n");
}

// "bestmove" with the move, or 0000 without one.
void writeBestMove(std::FILE* out, const Move* best) {
  std::fprintf(out, "bestmove ");
  if (best)
    writeUciMove(out, *best);
  else
    std::fprintf(out, "0000");
  std::fprintf(out, "\n");
}

}  // namespace

void logTimeSettings(const GoValues& go) {
  if (!logFile) return;
  std::fprintf(logFile, "{additional infos}\n");
  std::fprintf(logFile, "Timesettings: \n");
  std::fprintf(logFile, "calctime: %d\n", static_cast<int>(searchLimits.searchTimeLimit));
  std::fprintf(logFile, "search_time 2 (search-start): %d\n",
               static_cast<int>(searchLimits.searchDeadline - clockMs()));
  std::fprintf(logFile, "white time: %d\n", go.whiteTime);
  std::fprintf(logFile, "black time: %d\n", go.blackTime);
  std::fprintf(logFile, "white inc time: %d\n", go.whiteIncrement);
  std::fprintf(logFile, "black inc time: %d\n", go.blackIncrement);
  std::fflush(logFile);
}

void sendInfoLine(const Position& root, int depth) {
  const double ms = static_cast<double>(searchElapsedMs());
  const double nps = nodesPerSecond(ms);
  const int pvLength = playableLength(root, rootPV);
  std::printf("info depth %d ", depth);
  std::printf("seldepth %d ", searchState.selDepth);
  std::printf("nodes %lld ", static_cast<long long>(searchState.nodes));
  std::printf("nps %.0f ", nps);
  writeScore(stdout, false);
  std::printf("time %.0f pv ", ms);
  writePv(stdout, pvLength);
  if (!logFile) return;
  std::fprintf(logFile, "<<< SENT TO GUI <<< ");
  std::fprintf(logFile, "depth %d ", depth);
  std::fprintf(logFile, " hash-hits %d ", 0);
  std::fprintf(logFile, "nps %.0f ", nps);
  writeScore(logFile, true);
  std::fprintf(logFile, " time %d", static_cast<int>(ms));
  std::fprintf(logFile, " pv ");
  writePv(logFile, pvLength);
}

void sendCurrMove() {
  const SearchState& s = searchState;
  std::printf("info depth %d ", s.iterationDepth);
  std::printf("nodes %lld ", static_cast<long long>(s.nodes));
  std::printf("score cp %d ", s.rootScore);
  const int64_t ms = searchElapsedMs();
  std::printf("nps %.0f ", static_cast<double>(s.nodes) * 1000.0 / static_cast<double>(ms > 0 ? ms : 1));
  std::printf("currmove ");
  writeUciMove(stdout, s.currentRootMove);
  std::printf(" currmovenumber %d", s.rootMoveNumber);
  std::printf("\n");
  std::fflush(stdout);
}

void sendBestMove(bool found, const Move& best, const Iterations& run) {
  writeBestMove(stdout, found ? &best : nullptr);
  if (!logFile) return;
  const SearchState& s = searchState;
  std::fprintf(logFile, "\n{additional infos} ");
  std::fprintf(logFile, "search nodes %d\n", static_cast<int>(s.nodes));
  std::fprintf(logFile, "QS-nodes: %d\n", static_cast<int>(s.qsNodes));
  std::fprintf(logFile, "null move calls: %d\n", s.nullMoveCalls);
  std::fprintf(logFile, "null move cut-off: %d\n", s.nullMoveCutoffs);
  std::fprintf(logFile, "first moves beta nodes: %d\n", s.firstMoveCutoffs);
  std::fprintf(logFile, "other beta-cutoffs: %d\n", s.otherCutoffs);
  if (run.started > 0 && s.firstMoveCutoffs + s.otherCutoffs > 0)
    std::fprintf(logFile, "cut-off ratio %f\n",
                 static_cast<double>(s.firstMoveCutoffs) / static_cast<double>(s.firstMoveCutoffs + s.otherCutoffs));
  std::fprintf(logFile, "<<< SENT TO GUI <<< ");
  writeBestMove(logFile, found ? &best : nullptr);
}

void sendNoBestMove() {
  writeBestMove(stdout, nullptr);
  if (!logFile) return;
  std::fprintf(logFile, "<<< SENT TO GUI <<< ");
  writeBestMove(logFile, nullptr);
}

}  // namespace mavo
