#include "frontend/reports.h"

#include <cstdio>

#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/settings.h"
#include "search/search.h"

namespace mavo {

namespace {

double elapsedMs() { return static_cast<double>(clockMs() - searchState.searchStart); }

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

void printConsoleLine(const Position& root, int depth, bool analysis) {
  const int score = searchState.rootScore;
  std::printf("%3d", depth);
  printElapsed(elapsedMs() / 1000.0);
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
  printElapsed(elapsedMs() / 1000.0);
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
  const double ms = elapsedMs();
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
  int64_t ms = clockMs() - s.searchStart;
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
