#include "frontend/uci.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "frontend/command_line.h"
#include "frontend/config.h"
#include "frontend/movetext.h"
#include "frontend/perft_commands.h"
#include "frontend/search_input.h"
#include "frontend/tokens.h"
#include "frontend/uci_debug.h"
#include "frontend/uci_reports.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "movegen/perft.h"
#include "platform/platform.h"
#include "position/fen.h"
#include "position/notation.h"
#include "position/position.h"
#include "position/print.h"
#include "search/driver.h"
#include "search/search.h"

namespace mavo {

namespace {

Position uciPosition;
// Until the first "position", "new" or "ucinewgame" the board is empty and
// has no kings: nothing may generate moves on it.
bool positionSet = false;

char commandLine[kUciLineCap];
int lineLength;

// The option fields of a setoption line stand at fixed places: where the
// command's own words and their blanks end.
constexpr int lengthOf(const char* text) { return text[0] ? 1 + lengthOf(text + 1) : 0; }
constexpr int kOptionText = lengthOf("setoption ");
constexpr int kChess960Value = lengthOf("name UCI_Chess960 value ");  // within the option text
constexpr int kNullMoveValue = lengthOf("name NullMove Reduction value ");
constexpr int kFenCap = 187;      // characters handed to the FEN reader
constexpr int kMoveTextCap = 16;  // longer words are no move texts

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

// A new game starts as the program did: the opening tables, no killers, no
// line of an earlier search.
void newGame() {
  initPosition(uciPosition);
  setStartPosition();
  clearSearchMemory();
}

// A word as a C string for the move-text reader; false when it cannot be
// a move text.
bool moveText(std::string_view word, char (&text)[kMoveTextCap]) {
  if (word.size() >= kMoveTextCap) return false;
  word.copy(text, word.size());
  text[word.size()] = '\0';
  return true;
}

// Plays the move texts that follow; a text that is no legal move is
// reported and skipped.
void applyMoves(Tokens& words) {
  std::string_view word;
  while (words.next(word)) {
    char text[kMoveTextCap];
    Move move;
    if (!moveText(word, text) || !parseMoveText(text, uciPosition, move)) {
      std::printf("\nIllegal move: %.*s\n", static_cast<int>(word.size()), word.data());
    } else if (uciPosition.ply >= kMaxGamePly) {
      std::printf("\nmove stack full: moves from %s on are not applied\n", text);
      return;
    } else {
      makeMove(uciPosition, move);
    }
  }
}

void logPosition(const Position& pos) {
  logBoard(pos);
  writeFenLine(logFile, pos);
  std::fflush(logFile);
}

// position [startpos | fen <fields>] [moves <move> ...]
void position() {
  Tokens words(std::string_view(commandLine, static_cast<size_t>(lineLength)));
  std::string_view word;
  words.next(word);  // "position"
  words.next(word);
  if (word == "fen") {
    char fen[kFenCap + 1];
    size_t n = 0;
    while (words.next(word) && word != "moves") {
      if (n > 0 && n < kFenCap) fen[n++] = ' ';
      const size_t k = std::min(word.size(), kFenCap - n);
      word.copy(fen + n, k);
      n += k;
    }
    fen[n] = '\0';
    FenStatus status = readFen(uciPosition, fen);
    if (status != FenStatus::Ok) {
      std::printf("\nFEN not accepted (%s); position unchanged\n", fenStatusText(status));
      return;
    }
    positionSet = true;
    if (word == "moves") applyMoves(words);
    return;
  }
  if (word != "startpos") {
    std::printf("\nneither startpos nor fen: position unchanged\n");
    return;
  }
  setStartPosition();
  if (!words.next(word) || word != "moves") return;
  applyMoves(words);
  if (logFile) logPosition(uciPosition);
}

// The number after a go word; a word that is no number is left for the
// next round (the value then is 0).
uint64_t goValue(Tokens& words, uint64_t cap) {
  std::string_view word = words.peek();
  if (!isNumberWord(word)) return 0;
  words.next(word);
  return wordNumber(word, cap);
}
int goInt(Tokens& words) { return static_cast<int>(goValue(words, INT_MAX)); }

// go perft <depth>: each root move with its count, then the total, in the
// form move-generator tools read.
void uciPerft(int depth) {
  MoveList moves;
  const int n = legalMoves(uciPosition, moves);
  uint64_t counts[kMaxMoves];
  uint64_t total = positionSet ? 1 : 0;
  if (depth > 0 && depth <= kMaxPerftDepth && depth < kMoveStackSize - uciPosition.ply) {
    total = perftPerMove(uciPosition, moves, n, depth, counts);
    for (int i = 0; i < n; ++i) {
      writeUciMove(stdout, moves[i]);
      std::printf(": %" PRIu64 "\n", counts[i]);
    }
  }
  std::printf("\nNodes searched: %" PRIu64 "\n\n", total);
}

// go [wtime|btime|winc|binc|movestogo|movetime|depth|nodes|mate <n>]
//    [infinite] [ponder] [searchmoves <move> ...] [perft <n>]
void go() {
  GoValues g;
  MoveList searchMoves;
  Tokens words(std::string_view(commandLine, static_cast<size_t>(lineLength)));
  std::string_view word;
  words.next(word);  // "go"
  bool listingMoves = false;
  while (words.next(word)) {
    const bool wasListing = listingMoves;
    listingMoves = false;
    // clang-format off
    if (word == "wtime") g.whiteTime = goInt(words), g.timeGiven[0] = true;
    else if (word == "btime") g.blackTime = goInt(words), g.timeGiven[1] = true;
    else if (word == "winc") g.whiteIncrement = goInt(words), g.timeGiven[0] = true;
    else if (word == "binc") g.blackIncrement = goInt(words), g.timeGiven[1] = true;
    else if (word == "movetime") g.moveTime = goInt(words), g.timeGiven[0] = g.timeGiven[1] = true;
    else if (word == "movestogo") g.movesToGo = goInt(words);
    else if (word == "depth") g.depth = goInt(words);
    else if (word == "nodes") g.nodes = goValue(words, UINT64_MAX);
    else if (word == "mate") g.mate = goInt(words);
    else if (word == "infinite") g.infiniteSearch = 1;
    else if (word == "ponder") g.ponder = true;
    else if (word == "ponderhit") g.ponder = g.ponderhit = true;
    else if (word == "searchmoves") listingMoves = true;
    else if (word == "perft") return uciPerft(goInt(words));
    // clang-format on
    else if (wasListing) {
      listingMoves = true;
      char text[kMoveTextCap];
      Move move;
      if (positionSet && moveText(word, text) && parseMoveText(text, uciPosition, move) &&
          g.searchMoveCount < kMaxMoves)
        searchMoves[g.searchMoveCount++] = move;
    }
  }
  g.searchMoves = searchMoves;
  if (!positionSet) {
    sendNoBestMove();
    return;
  }
  setGoLimits(g, uciPosition.color);
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

void unknownWord(const char* word) {
  Move move;
  if (!positionSet || !parseMoveText(word, uciPosition, move))
    std::printf("\nIllegal move: %s\n", word);
  else
    std::printf("\not yet implemented\n");
}

// The protocol wants "isready" answered at once, also while searching,
// and "quit" to end the search, its bestmove sent, and then the program.
LineDuringSearch uciLineRole(std::string_view line) {
  const std::string_view word = Tokens(line).peek();
  if (word == "isready") {
    std::printf("readyok\n");
    return LineDuringSearch::Answered;
  }
  if (word == "quit") return LineDuringSearch::EndsAndWaits;
  return commonLineRole(line);
}

int uciInputCheck() { return pollSearchInput(uciLineRole); }

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
    lineLength = outputClosed() ? -1 : readLine(commandLine, kUciLineCap);
    if (lineLength < 0) return;
    if (commandLine[0] == '\n') continue;
    // A line set aside during a search was logged when it came.
    if (!lastLineWasSetAside()) logReceived(commandLine, false);
    char word[1025];
    firstWord(commandLine, word, sizeof word);
    if (word[0] == '\0') continue;
    auto is = [&word](const char* command) { return std::strcmp(word, command) == 0; };
    // The command table, one line a command.
    // clang-format off
    if (is("quit")) return;
    if (is("new") || is("ucinewgame")) newGame();
    else if (is("isready")) std::printf("readyok\n");
    else if (is("stop") || is("debug")) continue;
    else if (is("ponderhit")) setDeadline(clockMs() + searchLimits.ponderTimeLimit);
    else if (is("go")) go();
    else if (is("setoption")) setOption();
    else if (is("b_ausgabe")) uciBoardOutput(uciPosition, commandLine);
    else if (is("stack")) uciStackOutput(uciPosition, word);
    else if (is("show")) uciShowOutput(uciPosition, positionSet);
    else if (is("disp")) uciDisplay(uciPosition);
    else if (is("val")) uciValOutput();
    else if (is("moves")) uciMovesOutput(uciPosition, positionSet);
    else if (is("draw")) uciDrawOutput(uciPosition);
    else if (is("position")) position();
    else unknownWord(word);
    // clang-format on
  }
}

}  // namespace mavo
