#include "search/driver.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "frontend/config.h"
#include "frontend/movetext.h"
#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/position.h"
#include "position/print.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace mavo {

int64_t searchTimeLimit = 15000;
int64_t ponderTimeLimit = 0;
int64_t searchDeadline = 0;
int depthLimit = 64;
int whiteTime, blackTime, whiteIncrement, blackIncrement, moveTime;
int infiniteSearch;
Reporting reporting = Reporting::Console;

namespace {

int64_t searchStart;
int rootScore;
Move savedBestMove;
// Set while a search without a limit of its own runs (analyze, go
// infinite): the end of input then stops it, as no stop line can come.
bool unlimitedSearch = false;

constexpr int64_t kUnlimited = 99999999999;

double elapsedMs() { return static_cast<double>(clockMs() - searchStart); }

// Nodes per second over the elapsed milliseconds (at least one).
double nodesPerSecond(double ms) { return static_cast<double>(nodes) / ((ms > 0 ? ms : 1.0) / 1000.0); }

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

void printUciMove(const Move& m) {
  printSquare(m.from);
  printSquare(m.to);
  if (char c = promotionLetter(m.type)) {
    std::printf("%c", c);
    std::fflush(stdout);
  }
}

void logUciMove(const Move& m) {
  logSquare(m.from);
  logSquare(m.to);
  if (char c = promotionLetter(m.type)) {
    std::fprintf(logFile, "%c", c);
    std::fflush(logFile);
  }
}

// The moves of a line that can be played one after the other from the
// position; a line is cut at its first move that is not legal there.
int playableLength(Position pos, const PvLine& line) {
  const int keptSearchPly = searchPly;
  int k = 0;
  for (; k < line.count; ++k) {
    MoveList moves;
    int n = generateMoves(pos, moves);
    bool legal = false;
    for (int i = 0; i < n && !legal; ++i)
      legal = moves[i].from == line.moves[k].from && moves[i].to == line.moves[k].to &&
              moves[i].type == line.moves[k].type;
    if (!legal || pos.ply >= kMoveStackSize - 1) break;
    makeMove(pos, line.moves[k]);
  }
  searchPly = keptSearchPly;
  return k;
}

int mateDistance(int score) { return (kInfinity - (score > 0 ? score : -score)) / 2 + 1; }

void sendInfoLine(const Position& pos, int depth) {
  double ms = elapsedMs();
  double nps = nodesPerSecond(ms);
  int pvLength = playableLength(pos, rootPV);
  std::printf("info depth %d ", depth);
  std::printf("seldepth %d ", selDepth);
  std::printf("nodes %lld ", static_cast<long long>(nodes));
  std::printf("nps %.0f ", nps);
  if (isMateScore(rootScore)) {
    if (rootScore > 0)
      std::printf("score mate %d ", mateDistance(rootScore));
    else
      std::printf("score mate -%d ", mateDistance(rootScore));
  } else {
    std::printf("score cp %d ", rootScore);
  }
  std::printf("time %.0f pv ", ms);
  for (int k = 0; k < pvLength; ++k) {
    printUciMove(rootPV.moves[k]);
    std::printf(" ");
  }
  std::printf("\n");
  if (!logFile) return;
  std::fprintf(logFile, "<<< SENT TO GUI <<< ");
  std::fprintf(logFile, "depth %d ", depth);
  std::fprintf(logFile, " hash-hits %d ", 0);
  std::fprintf(logFile, "nps %.0f ", nps);
  if (isMateScore(rootScore)) {
    if (rootScore > 0)
      std::fprintf(logFile, "score mate %d ", mateDistance(rootScore));
    else
      std::fprintf(logFile, "score mate -%d ", mateDistance(rootScore));
  } else {
    std::fprintf(logFile, "score cp %d", rootScore);
  }
  std::fprintf(logFile, " time %d", static_cast<int>(ms));
  std::fprintf(logFile, " pv ");
  for (int k = 0; k < pvLength; ++k) {
    logUciMove(rootPV.moves[k]);
    std::fprintf(logFile, " ");
  }
  std::fprintf(logFile, "\n");
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

void printConsoleLine(const Position& root, int depth, bool analysis) {
  std::printf("%3d", depth);
  printElapsed(elapsedMs() / 1000.0);
  if (isMateScore(rootScore)) {
    std::printf("    ");
    std::printf(rootScore > 0 ? "+" : "-");
    int m = mateDistance(rootScore);
    if (analysis && m < 10)
      std::printf("M0%d", m);
    else
      std::printf("M%d", m);
  } else {
    std::printf("%8.2f", rootScore / 100.0);
  }
  std::printf("   ");
  if (root.color == -1) std::printf("...  ");
  if (depth == 1) rootPV.count = 1;
  Position copy = root;
  int length = playableLength(root, rootPV);
  static constexpr char kLetter[] = "kqrbnp.PNBRQK";  // indexed by code + 6
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
      if (piece != kPawn && piece != -kPawn) std::printf("%c", kLetter[piece + 6]);
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

int checkInput() {
  // Nobody can receive the result any more: searching on would be for no one.
  if (outputClosed()) {
    searchDeadline = 0;
    return 1;
  }
  // The search is only unwinding after a stop: lines that came with the
  // stop line wait for the command loop.
  if (stopFlag) return 1;
  if (!inputAvailable()) return 0;
  char text[256];
  int len = pollLine(text, sizeof text);
  if (len < 0) return unlimitedSearch ? 1 : 0;
  if (len == 0) return 0;
  text[std::strcspn(text, "\n")] = '\0';
  if (logFile) {
    std::fprintf(logFile, ">>> RECEIVED FROM GUI >>> ");
    std::fprintf(logFile, "%s\n", text);
    std::fflush(logFile);
  }
  if (startsWith(text, "exi") || startsWith(text, "sto") || startsWith(text, "pos") || startsWith(text, "top")) {
    searchDeadline = 0;
    return 1;
  }
  // The protocol wants "isready" answered at once, also while searching.
  if (reporting == Reporting::Uci && std::strcmp(text, "isready") == 0) std::printf("readyok\n");
  return 0;
}

void printSearchProgress() {
  if (reporting == Reporting::Uci) {
    std::printf("info depth %d ", iterationDepth);
    std::printf("nodes %lld ", static_cast<long long>(nodes));
    std::printf("score cp %d ", rootScore);
    int64_t ms = clockMs() - searchStart;
    std::printf("nps %.0f ", static_cast<double>(nodes) * 1000.0 / static_cast<double>(ms > 0 ? ms : 1));
    std::printf("currmove ");
    printSquare(currentRootMove.from);
    printSquare(currentRootMove.to);
    if (char c = promotionLetter(currentRootMove.type)) std::printf("%c", c);
    std::printf(" currmovenumber %d", rootMoveNumber);
    std::printf("\n");
    std::fflush(stdout);
    return;
  }
  std::printf(">%2d", iterationDepth);
  printElapsed(elapsedMs() / 1000.0);
  std::printf("%8.2f", lastImprovedScore / 100.0);
  std::printf("   ");
  printSquare(rootPV.moves[0].from);
  printSquare(rootPV.moves[0].to);
  static constexpr char kPromotion[] = "QRBN";
  int type = rootBestMove.type;
  if (type >= WhitePromoQueen && type <= WhitePromoKnight) std::printf("%c", kPromotion[type - WhitePromoQueen]);
  if (type >= BlackPromoQueen && type <= BlackPromoKnight)
    std::printf("%c", kPromotion[type - BlackPromoQueen] + ('a' - 'A'));
  if (iterationDepth > 3) {
    std::printf("          ");
    std::printf("\b\b\b\b\b\b\b\b\b\b");
    std::printf(" [%d/%d]", rootMoveNumber, rootMoveCount);
  }
  std::printf("\r");
  std::fflush(stdout);
}

void runUciSearch(Position& pos, const char* goLine) {
  const bool white = pos.color == 1;
  const int clock = white ? whiteTime : blackTime;
  const int increment = white ? whiteIncrement : blackIncrement;
  if (moveTime == 0 && searchTimeLimit == 6000) {
    if (increment && clock)
      searchTimeLimit = clock / 40 + increment;
    else if (increment)
      searchTimeLimit = increment;
    else
      searchTimeLimit = clock / 30;
    // An increment close to the time left would lose on time: the move
    // must be made before the clock runs out, the increment comes after.
    if (clock > 0 && searchTimeLimit > clock / 2) searchTimeLimit = clock / 2;
  }
  ponderTimeLimit = searchTimeLimit;
  if (static_cast<uint64_t>(ponderTimeLimit) <= 1000) ponderTimeLimit = 1000;
  if (moveTime) searchTimeLimit = moveTime;
  if (infiniteSearch) searchTimeLimit = 9999999999;
  if (std::strstr(goLine, "ponder")) searchTimeLimit = ponderTimeLimit;
  if (std::strstr(goLine, "ponderhit")) searchTimeLimit = ponderTimeLimit;
  searchDeadline = clockMs() + searchTimeLimit;
  if (logFile) {
    std::fprintf(logFile, "{additional infos}\n");
    std::fprintf(logFile, "Timesettings: \n");
    std::fprintf(logFile, "calctime: %d\n", static_cast<int>(searchTimeLimit));
    std::fprintf(logFile, "search_time 2 (search-start): %d\n", static_cast<int>(searchDeadline - clockMs()));
    std::fprintf(logFile, "white time: %d\n", whiteTime);
    std::fprintf(logFile, "black time: %d\n", blackTime);
    std::fprintf(logFile, "white inc time: %d\n", whiteIncrement);
    std::fprintf(logFile, "black inc time: %d\n", blackIncrement);
    std::fflush(logFile);
  }

  searchCountdown = 256;
  progressCountdown = 16384;
  stopFlag = 0;
  unlimitedSearch = infiniteSearch != 0;
  prepareEvaluation(pos);
  nodes = 0;
  qsNodes = 0;
  MoveList moves;
  const int n = generateMoves(pos, moves);
  nullMoveCalls = nullMoveCutoffs = firstMoveCutoffs = otherCutoffs = 0;
  rootBestMove.from = rootBestMove.to = 0;
  savedBestMove.from = savedBestMove.to = 0;
  computeKey(pos);
  searchStart = clockMs();
  int iterations = 0;
  for (int depth = 1; n > 0 && depth < 64 && !stopFlag; ++depth) {
    savedBestMove = rootBestMove;
    searchPly = 0;
    iterationDepth = depth;
    rootScore = alphaBeta(pos, -kInfinity, kInfinity, 0, depth, rootPV, 0);
    ++iterations;
    if (!stopFlag) sendInfoLine(pos, depth);
  }
  unlimitedSearch = false;
  if (stopFlag) rootBestMove = savedBestMove;
  // Stopped before the first iteration completed: nothing was searched to
  // the end, so the first legal move stands in.
  if (n > 0 && rootBestMove.from == 0) rootBestMove = moves[0];
  if (n > 0 && !infiniteSearch && pos.ply < kMaxGamePly) makeMove(pos, rootBestMove);

  std::printf("bestmove ");
  if (n > 0)
    printUciMove(rootBestMove);
  else
    std::printf("0000");
  std::printf("\n");
  if (!logFile) return;
  std::fprintf(logFile, "\n{additional infos} ");
  std::fprintf(logFile, "search nodes %d\n", static_cast<int>(nodes));
  std::fprintf(logFile, "QS-nodes: %d\n", static_cast<int>(qsNodes));
  std::fprintf(logFile, "null move calls: %d\n", nullMoveCalls);
  std::fprintf(logFile, "null move cut-off: %d\n", nullMoveCutoffs);
  std::fprintf(logFile, "first moves beta nodes: %d\n", firstMoveCutoffs);
  std::fprintf(logFile, "other beta-cutoffs: %d\n", otherCutoffs);
  if (iterations > 0 && firstMoveCutoffs + otherCutoffs > 0)
    std::fprintf(logFile, "cut-off ratio %f\n",
                 static_cast<double>(firstMoveCutoffs) / static_cast<double>(firstMoveCutoffs + otherCutoffs));
  std::fprintf(logFile, "<<< SENT TO GUI <<< ");
  std::fprintf(logFile, "bestmove ");
  if (n > 0)
    logUciMove(rootBestMove);
  else
    std::fprintf(logFile, "0000");
  std::fprintf(logFile, "\n");
}

bool runConsoleReply(Position& pos, Move& reply) {
  stopFlag = 0;
  searchDeadline = clockMs() + searchTimeLimit;
  searchCountdown = 16384;
  unlimitedSearch = false;
  prepareEvaluation(pos);
  nodes = 0;
  MoveList moves;
  const int n = generateMoves(pos, moves);
  const Move fallback = moves[0];
  rootPV.count = 1;
  printConsoleHeader();
  searchStart = clockMs();
  int completed = 0;
  for (int depth = 1; n > 0 && depth < depthLimit && !stopFlag; ++depth) {
    savedBestMove = rootBestMove;
    iterationDepth = depth;
    searchPly = 0;
    rootScore = alphaBeta(pos, -kInfinity, kInfinity, 0, depth, rootPV, 0);
    if (!stopFlag) {
      ++completed;
      printConsoleLine(pos, depth, false);
    }
  }
  if (n == 0) return false;
  reply = rootBestMove;
  if (stopFlag) {
    reply = savedBestMove;
    if (completed == 0 || (savedBestMove.from == fallback.from && savedBestMove.to == fallback.to)) reply = fallback;
  }
  return true;
}

void runAnalysis(Position& pos) {
  prepareEvaluation(pos);
  const int64_t keptLimit = searchTimeLimit;
  searchTimeLimit = kUnlimited;
  searchCountdown = 4096;
  stopFlag = 0;
  unlimitedSearch = true;
  searchDeadline = clockMs() + searchTimeLimit;
  nodes = 0;
  MoveList moves;
  const int n = generateMoves(pos, moves);
  printConsoleHeader();
  searchStart = clockMs();
  for (int depth = 1; depth <= 63 && n > 0 && !stopFlag; ++depth) {
    savedBestMove = rootBestMove;
    searchPly = 0;
    iterationDepth = depth;
    rootScore = alphaBeta(pos, -kInfinity, kInfinity, 0, depth, rootPV, 0);
    if (!stopFlag) printConsoleLine(pos, depth, true);
  }
  unlimitedSearch = false;
  searchTimeLimit = keptLimit;
}

}  // namespace mavo
