#include "frontend/console.h"

#include <cstdio>
#include <cstring>

#include "frontend/command_line.h"
#include "frontend/config.h"
#include "frontend/console_reports.h"
#include "frontend/movetext.h"
#include "frontend/perft_commands.h"
#include "frontend/printouts.h"
#include "frontend/search_input.h"
#include "frontend/uci.h"
#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/fen.h"
#include "position/key.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/print.h"
#include "search/driver.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace mavo {

namespace {

Position consolePosition;

void printHelp() {
  std::printf("Mavo %s - Kestrano", kVersion);
  std::printf("\nquit............terminates the program");
  std::printf("\nuci.............switch to uci-mode");
  std::printf("\ne2e4............moves piece");
  std::printf("\ne7e8Q...........promotion move resulting in Queen [Q,R,B,N]");
  std::printf("\nst #............sets search time per move (1-300s)");
  std::printf("\nsd #............sets search depth (1-9)");
  std::printf("\nundo............takes back last move");
  std::printf("\nnew.............resets board to initial state");
  std::printf("\nclear...........redraws the console");
  std::printf("\ndisp............shows the board");
  std::printf("\ndivide #........outputs the numbers of child moves");
  std::printf("\ndivide2 #.......outputs the total numbers of child moves");
  std::printf("\nperft #.........counts nodes at given depth");
  std::printf("\nperft2 #........counts all nodes to given depth");
  std::printf("\nsetboard <FEN>..reads a fen-string");
  std::printf("\nfen.............outputs FEN of board position");
  std::printf("\ninfo............outputs data-structure");
  std::printf("\neval............evaluates position");
  std::printf("\nanalyze.........infinite analysis");
  std::printf("\ntestmovegen.....runs a testsuite file (perft for different positions)");
  std::printf("\nstack...........shows move-stack");
  std::printf("\nsort............gives sorted move-list for Alpha-Beta");
  std::printf("\nshow............gives valid moves for current pos.\n");
}

void printValues() {
  std::printf("\nPiece values:");
  writePieceValues(stdout);
}

void setTime(const char* line) {
  int n = 0;
  if (readArgument(line, &n) && n >= 1 && n <= 300) {
    searchLimits.searchTimeLimit = static_cast<int64_t>(n) * 1000;
    searchLimits.depthLimit = 64;
    std::printf("\nset search time per move to %ds\n", n);
  } else {
    std::printf("\nsearch time out of bounds, valid values: 1-300s\n");
  }
}

void setDepth(const char* line) {
  int n = 0;
  bool given = readArgument(line, &n);
  std::printf("\nsd %d", n);
  // A limit of 1 would run no iteration at all: depths below the limit run.
  if (given && n >= 2 && n <= 63) {
    searchLimits.depthLimit = n;
    searchLimits.searchTimeLimit = kNoTimeLimit;
    std::printf("\nset search depth to %ds\n", n);
  } else {
    std::printf("\nsearch depth out of bounds, valid depths: 1-64\n");
  }
}

// The perft commands read their depth; a missing number is wrong input, and
// so is a depth no move stack could walk.
int depthArgument(const char* line, const Position& pos) {
  int n = 0;
  if (!readArgument(line, &n)) return 0;
  return n < kMoveStackSize - pos.ply ? n : 0;
}

void showMoves(Position& pos) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  std::printf("\n%d legal moves: ", n);
  printMoveList(pos, moves, n);
}

void printGameOver(const Position& pos) {
  if (sideToMoveInCheck(pos)) {
    if (isAttackedByWhite(pos.board, pos.blackKing)) std::printf("\n1-0 {White mates}\n");
    if (isAttackedByBlack(pos.board, pos.whiteKing)) std::printf("\n0-1 {Black mates}\n");
  } else {
    std::printf("\n1/2-1/2 {Stalemate}\n");
  }
}

void printGameTooLong() { std::printf("\nmove stack full: no more moves can be made in this game\n"); }

// A word that is no command: a move of the person, answered by the engine.
void playTypedMove(Position& pos, const char* word) {
  Move typed;
  if (!parseMoveText(word, pos, typed)) {
    std::printf("\ninput correct ?: %s", word);
    return;
  }
  if (pos.ply >= kMaxGamePly) {
    printGameTooLong();
    return;
  }
  makeMove(pos, typed);
  printBoard(pos);
  printConsoleHeader();
  Move reply;
  if (!runConsoleReply(pos, printReplyLine, reply)) {
    printGameOver(pos);
    return;
  }
  if (pos.ply >= kMaxGamePly) {
    printGameTooLong();
    return;
  }
  makeMove(pos, reply);
  std::printf("\nMavo moves: ");
  printSquare(reply.from);
  printSquare(reply.to);
  printPromotion(reply.type);
  std::printf("\n");
  printBoard(pos);
}

void setBoard(Position& pos, const char* text) {
  FenStatus status = readFen(pos, text);
  if (status != FenStatus::Ok) std::printf("\nFEN not accepted (%s); position unchanged\n", fenStatusText(status));
}

// As the program starts: the opening tables, no killers, no earlier line.
void newGame(Position& pos) {
  initPosition(pos);
  readFen(pos, startFen);
  clearSearchMemory();
}

// Without a limit for the duration; the replies' time limit comes back after.
void analyze(Position& pos) {
  const int64_t keptLimit = searchLimits.searchTimeLimit;
  searchLimits.searchTimeLimit = kNoTimeLimit;
  searchLimits.unlimited = true;
  searchHooks.inputCheck = analysisInputCheck;
  printConsoleHeader();
  runAnalysis(pos, printAnalysisLine);
  searchHooks.inputCheck = consoleInputCheck;
  searchLimits.searchTimeLimit = keptLimit;
  searchLimits.unlimited = false;
}

// Runs one command line; returns false when the program is to end.
bool serveLine(Position& pos, const char* line) {
  char word[kConsoleLineCap];
  const char* start = firstWord(line, word, sizeof word);
  if (logFile) std::fprintf(logFile, "\nmavo: %s", word);
  if (word[0] == '\0') return true;
  auto is = [&word](const char* command) { return std::strcmp(word, command) == 0; };

  if (is("quit")) return false;
  if (is("uci")) {
    uciLoop();
    return false;
  }
  // The command table, one line a command.
  // clang-format off
  if (is("setboard")) setBoard(pos, start + std::strlen("setboard"));
  else if (is("divide")) divideCommand(pos, depthArgument(line, pos));
  else if (is("divide2")) divide2Command(pos, depthArgument(line, pos));
  else if (is("perft")) perftCommand(pos, depthArgument(line, pos));
  else if (is("perft2")) perft2Command(pos, depthArgument(line, pos));
  else if (is("clear")) clearConsole();
  else if (is("st")) setTime(line);
  else if (is("sd")) setDepth(line);
  else if (is("testmovegen")) runTestSuite(pos);
  else if (is("eval")) std::printf("\nevalnega: %2.2f", static_cast<double>(evaluate(pos)));
  else if (is("values")) printValues();
  else if (is("analyze")) analyze(pos);
  else if (is("ver")) std::printf("Version: %s", kVersion);
  else if (is("disp") || is("d")) printBoard(pos);
  else if (is("hi") || is("hello")) std::printf("\nno need to talk to me unless you're blonde, tall and female ...\n");
  else if (is("music")) std::printf("\nmusic while thinking? only the quiet hum of the squares.\n");
  else if (is("show")) showMoves(pos);
  else if (is("info")) printInfo(pos);
  else if (is("stack")) printStack(pos);
  else if (is("new")) newGame(pos);
  else if (is("fen")) writeFenLine(stdout, pos);
  else if (is("undo")) {
    if (pos.ply > 0) unmakeMove(pos);
    printBoard(pos);
  } else if (is("showPiece")) printShowPiece(pos);
  else if (is("sort")) printSortedMoves(pos);
  else if (is("help")) printHelp();
  else playTypedMove(pos, word);
  // clang-format on
  return true;
}

}  // namespace

int runConsole() {
  platformInit();
  chess960Mode = 0;
  searchHooks.progress = printConsoleProgress;
  searchHooks.inputCheck = consoleInputCheck;
  searchLimits.searchTimeLimit = 15000;
  searchLimits.depthLimit = 64;
  newGame(consolePosition);
  buildAlignmentTable();
  initKeyTables();
  computeKey(consolePosition);
  std::printf("Mavo ");
  std::printf("version: ");
  std::printf("%s", kVersion);
  std::printf(" - Kestrano\n");
  resetSettings();  // the null-move reduction's start value too
  readConfigFile();
  std::printf("\n");
  if (settings.loggingEnabled && !openLog()) {
    std::printf("\nerror creating log file");
    return 0;
  }
  char line[kConsoleLineCap];
  for (;;) {
    std::printf("\nmavo: ");
    if (outputClosed() || readLine(line, sizeof line) < 0) break;
    if (!serveLine(consolePosition, line)) break;
  }
  if (logFile) std::fflush(logFile);
  return 0;
}

}  // namespace mavo
