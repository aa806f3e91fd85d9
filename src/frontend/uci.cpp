#include "frontend/uci.h"

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>

#include "frontend/command_line.h"
#include "frontend/config.h"
#include "frontend/movetext.h"
#include "frontend/printouts.h"
#include "frontend/reports.h"
#include "frontend/search_input.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/print.h"
#include "search/driver.h"
#include "search/evaluate.h"
#include "search/search.h"

namespace mavo {

namespace {

Position uciPosition;
// Until the first "position", "new" or "ucinewgame" the board is empty and
// has no kings: nothing may generate moves on it.
bool positionSet = false;

// Room for a "position" line holding a whole game of the move stack's size.
constexpr int kLineCap = 1 << 16;
char commandLine[kLineCap];
int lineLength;

// The fields of a line stand at fixed places: where the command's own words
// and their blanks end.
constexpr int lengthOf(const char* text) { return text[0] ? 1 + lengthOf(text + 1) : 0; }
constexpr int kPositionKind = lengthOf("position ");  // 'f'en or 's'tartpos
constexpr int kFenText = lengthOf("position fen ");
constexpr int kFenCap = 187;                                        // characters handed to the FEN reader
constexpr int kStartposMovesWord = lengthOf("position startpos ");  // 'm' of "moves"
constexpr int kStartposMoveList = lengthOf("position startpos moves ");
constexpr int kMovesWord = lengthOf("moves ");  // after the "m" found in a fen line
constexpr int kMovesSearch = 2048;              // characters searched for that "m"
constexpr int kGoWord = lengthOf("go ");        // "in" of a directly following infinite
constexpr int kGoMarkScan = 64;                 // indexes scanned for two-letter marks
constexpr int kMovetimeNumber = lengthOf("movetime ");
constexpr int kClockNumber = lengthOf("wtime ");     // also btime
constexpr int kIncrementNumber = lengthOf("winc ");  // also binc
constexpr int kOptionText = lengthOf("setoption ");
constexpr int kChess960Value = lengthOf("name UCI_Chess960 value ");  // within the option text
constexpr int kNullMoveValue = lengthOf("name NullMove Reduction value ");

// A character at a fixed index of the line; past the line's end there is none.
char at(int i) { return i < lineLength ? commandLine[i] : '\0'; }

int legalMoves(Position& pos, Move* moves) { return positionSet ? generateMoves(pos, moves) : 0; }

void sendIdentification() {
  std::printf("\nMAVO-Kestrano");
  std::printf("\n");
  std::printf("\nhave fun\n");
  std::printf("id name Mavo %s\n", kVersion);
  std::printf("id author Quanzel\n");
  std::printf("option name useInternalOpeningBook type check default false\n");
  std::printf("option name ponder type check default true\n");
  std::printf("option name Quiescent Search type check default true\n");
  std::printf("option name NullMove Reduction type spin default 2 min 0 max 4\n");
  std::printf("option name Research Value type spin default 50 min 0 max 150\n");
  std::printf("option name UCI_Chess960 type check default false\n");
  std::printf("uciok\n");
}

void setStartPosition() {
  readFen(uciPosition, startFen);
  positionSet = true;
}

// Plays the blank- or newline-separated move texts from `start` on; text
// after the last separator is not applied.
void applyMoves(int start) {
  int tokenStart = start;
  bool full = false;
  for (int i = start; i < lineLength; ++i) {
    char c = commandLine[i];
    if (c != ' ' && c != '\n') continue;
    char saved = commandLine[i];
    commandLine[i] = '\0';
    const char* token = commandLine + tokenStart;
    if (!full) {
      Move move;
      if (!parseMoveText(token, uciPosition, move)) {
        std::printf("\nIllegal move: %s\n", token);
      } else if (uciPosition.ply >= kMaxGamePly) {
        std::printf("\nmove stack full: moves from %s on are not applied\n", token);
        full = true;
      } else {
        makeMove(uciPosition, move);
      }
    }
    commandLine[i] = saved;
    tokenStart = i + 1;
  }
}

void logPosition(const Position& pos) {
  logBoard(pos);
  writeFenLine(logFile, pos);
  std::fflush(logFile);
}

void position() {
  if (at(kPositionKind) == 'f') {
    char fen[kFenCap + 1];
    int n = 0;
    while (n < kFenCap && at(kFenText + n) != '\0') fen[n] = at(kFenText + n), ++n;
    fen[n] = '\0';
    FenStatus status = readFen(uciPosition, fen);
    if (status != FenStatus::Ok) {
      std::printf("\nFEN not accepted (%s); position unchanged\n", fenStatusText(status));
      return;
    }
    positionSet = true;
    for (int i = 0; i < lineLength && i < kMovesSearch; ++i) {
      if (commandLine[i] == 'm') {
        applyMoves(i + kMovesWord);
        break;
      }
    }
    return;
  }
  if (at(kPositionKind) == 's') setStartPosition();
  if (at(kStartposMovesWord) == 'm') {
    setStartPosition();
    applyMoves(kStartposMoveList);
    if (logFile) logPosition(uciPosition);
  }
}

// A number of the go line: digits up to the next blank or the line's end;
// a negative number (a clock that has run out) counts as 0.
int goNumber(int i) {
  if (at(i) == '-') return 0;
  long long v = 0;
  while (at(i) >= '0' && at(i) <= '9') {
    if (v < 1000000000) v = v * 10 + (at(i) - '0');
    ++i;
  }
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

void go() {
  GoValues g;
  if (at(kGoWord) == 'i' && at(kGoWord + 1) == 'n') g.infiniteSearch = 1;
  for (int i = 0; i < kGoMarkScan; ++i)
    if (at(i) == 'm' && at(i + 1) == 'o') g.moveTime = goNumber(i + kMovetimeNumber);
  for (int i = 0; i < kGoMarkScan; ++i) {
    if (at(i) == 'w' && at(i + 1) == 't') g.whiteTime = goNumber(i + kClockNumber);
    if (at(i) == 'w' && at(i + 1) == 'i') g.whiteIncrement = goNumber(i + kIncrementNumber);
  }
  for (int i = 0; i < kGoMarkScan; ++i) {
    if (at(i) == 'b' && at(i + 1) == 't') g.blackTime = goNumber(i + kClockNumber);
    if (at(i) == 'b' && at(i + 1) == 'i') g.blackIncrement = goNumber(i + kIncrementNumber);
  }
  g.ponder = std::strstr(commandLine, "ponder") != nullptr;
  g.ponderhit = std::strstr(commandLine, "ponderhit") != nullptr;
  if (!positionSet) {
    sendNoBestMove();
    return;
  }
  setUciTimeBudget(g, uciPosition.color);
  logTimeSettings(g);
  Move best;
  Iterations run;
  const bool found = runUciSearch(uciPosition, sendInfoLine, best, run);
  sendBestMove(found, best, run);
}

void setOption() {
  constexpr int base = kOptionText;
  auto optionStarts = [&](const char* text) {
    for (int k = 0; text[k]; ++k)
      if (at(base + k) != text[k]) return false;
    return true;
  };
  if (optionStarts("name UCI_Chess960"))
    chess960Mode = at(base + kChess960Value) == 't' || at(base + kChess960Value) == 'T';
  if (optionStarts("name NullMove")) {
    char c = at(base + kNullMoveValue);
    if (c >= '0' && c <= '4') settings.nullMoveReduction = c - '0';
  }
}

void debugHeader() { std::printf("fuer Debug-Zwecke\n"); }

void boardOutput() {
  debugHeader();
  if (logFile) {
    std::fprintf(logFile, "\n[GUI-COMMAND] ");
    std::fprintf(logFile, "%s\n", commandLine);
    logBoard(uciPosition);
    std::fflush(logFile);
  }
  printPosition(uciPosition);
  std::printf("\n");
}

void stackOutput(const char* word) {
  debugHeader();
  const int n = uciPosition.ply;
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

void showOutput() {
  MoveList moves;
  int n = legalMoves(uciPosition, moves);
  std::printf("\n%d legal moves:\n", n);
  printMoveList(uciPosition, moves, n);
}

void valOutput() {
  std::printf("\n");
  writeBoardFrame(stdout, BoardFrame::Bracketed,
                  [](std::FILE* out, int s) { std::fprintf(out, "%3d", pieceSquare[kKing][s]); });
  std::printf("\n\n    \n");
}

void movesOutput() {
  MoveList moves;
  int n = legalMoves(uciPosition, moves);
  std::printf("\n%d legal moves:\n", n);
  for (int i = 0; i < n; ++i) {
    printSquare(moves[i].from);
    printSquare(moves[i].to);
    std::printf("\n");
  }
}

void drawOutput() {
  const int n = uciPosition.ply;
  std::printf("\n");
  for (int k = n; k >= 0; --k) std::printf("key: %" PRIu64 "\n", MoveStack[k].keyAfter);
  std::printf("\ncheckfordraw: %d\n", checkfordraw(uciPosition));
  std::printf("poskey: %" PRIu64 "\n", uciPosition.hashkey);
  std::printf("ply: %d\n", searchPly);
  std::printf("pcount-ply: %d\n", n);
  std::printf("fifty moves: %d\n", uciPosition.fifty);
}

void unknownWord(const char* word) {
  Move move;
  if (!positionSet || !parseMoveText(word, uciPosition, move))
    std::printf("\nIllegal move: %s\n", word);
  else
    std::printf("\not yet implemented\n");
}

// The protocol wants "isready" answered at once, also while searching.
void answerDuringSearch(const char* line) {
  if (std::strcmp(line, "isready") == 0) std::printf("readyok\n");
}

int uciInputCheck() { return pollSearchInput(answerDuringSearch); }

}  // namespace

void uciLoop() {
  initPosition(uciPosition);
  positionSet = false;
  chess960Mode = 0;
  searchHooks.progress = sendCurrMove;
  searchHooks.inputCheck = uciInputCheck;
  sendIdentification();
  if (logFile) std::fprintf(logFile, "\n");

  for (;;) {
    lineLength = outputClosed() ? -1 : readLine(commandLine, kLineCap);
    if (lineLength < 0) return;
    if (commandLine[0] == '\n') continue;
    logReceived(commandLine, false);
    char word[1025];
    firstWord(commandLine, word, sizeof word);
    if (word[0] == '\0') continue;
    auto is = [&word](const char* command) { return std::strcmp(word, command) == 0; };
    // The command table, one line a command.
    // clang-format off
    if (is("quit")) return;
    if (is("new") || is("ucinewgame")) setStartPosition();
    else if (is("isready")) std::printf("readyok\n");
    else if (is("stop") || is("debug")) continue;
    else if (is("ponderhit")) setDeadline(clockMs() + searchLimits.ponderTimeLimit);
    else if (is("go")) go();
    else if (is("setoption")) setOption();
    else if (is("b_ausgabe")) boardOutput();
    else if (is("stack")) stackOutput(word);
    else if (is("show")) showOutput();
    else if (is("disp")) {
      std::printf("\n");
      printPosition(uciPosition);
      std::printf("\n");
    } else if (is("val")) valOutput();
    else if (is("moves")) movesOutput();
    else if (is("draw")) drawOutput();
    else if (is("position")) position();
    else unknownWord(word);
    // clang-format on
  }
}

}  // namespace mavo
