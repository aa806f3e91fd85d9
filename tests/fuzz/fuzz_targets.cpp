// The fuzz targets; each program is built with MAVO_FUZZ_TARGET naming one
// of the functions below. Each checks what must hold for any input; a
// sanitizer report or a failed check ends the run with the input saved.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "frontend/config.h"
#include "frontend/console.h"
#include "frontend/movetext.h"
#include "frontend/perft_commands.h"
#include "fuzz_platform.h"
#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "position/consistency.h"
#include "position/fen.h"
#include "position/key.h"
#include "position/position.h"

using namespace mavo;

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

// The bytes after the first as a text of exactly their size, so that a read
// past its terminator is caught.
std::unique_ptr<char[]> textAfterFirstByte(const uint8_t* data, size_t size) {
  std::unique_ptr<char[]> text(new char[size]);
  std::memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';
  return text;
}

void writeFile(const char* name, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(name, "wb");
  require(f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fclose(f) == 0);
}

// readFen (first byte: Chess960 mode): an accepted text leaves a consistent
// record whose FEN reads back to the same FEN, and every legal move makes a
// consistent record and unmakes back to the same board.
[[maybe_unused]] void fuzzFen(const uint8_t* data, size_t size) {
  chess960Mode = data[0] & 1;
  Position pos, copy;
  initPosition(pos);
  if (readFen(pos, textAfterFirstByte(data, size).get()) != FenStatus::Ok) return;
  require(!checkPosition(pos, true));
  char fen[96], again[96];
  writeFen(pos, fen);
  initPosition(copy);
  require(readFen(copy, fen) == FenStatus::Ok);
  writeFen(copy, again);
  require(std::strcmp(fen, again) == 0);
  MoveList moves;
  for (int i = 0, n = generateMoves(pos, moves); i < n; ++i) {
    makeMove(pos, moves[i]);
    require(!checkPosition(pos, true));
    unmakeMove(pos);  // leaves the key of the position after the move
    writeFen(pos, again);
    require(!checkPosition(pos, false) && std::strcmp(fen, again) == 0);
  }
}

// parseMoveText in one of four positions (first byte): a move it returns
// is a legal move from and to the squares the text spells.
[[maybe_unused]] void fuzzMoveText(const uint8_t* data, size_t size) {
  static const char* const kFens[] = {
      "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
      "r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R w KQkq d6 0 1",  // promotions, castling, en passant
      "1r2k1r1/1P4P1/8/8/8/8/1p4p1/1R2K1R1 b BGbg - 0 1",  // the same in Chess960
      "7k/5QQ1/8/8/8/8/8/K7 b - - 0 1",                    // mated: no legal move
  };
  chess960Mode = (data[0] & 3) == 2;
  Position pos;
  initPosition(pos);
  require(readFen(pos, kFens[data[0] & 3]) == FenStatus::Ok);
  auto text = textAfterFirstByte(data, size);
  Move move;
  if (!parseMoveText(text.get(), pos, move)) return;
  MoveList moves;
  const int n = generateMoves(pos, moves);
  bool legal = false;
  for (int i = 0; i < n; ++i)
    legal |= moves[i].from == move.from && moves[i].to == move.to && moves[i].type == move.type;
  require(legal && std::strlen(text.get()) >= 4);
  auto square = [&](int k) { return text[k] - 10 * text[k + 1] + 484; };
  require(move.from == square(0) && move.to == square(2));
}

// The configuration reader on any Mavo.cfg: usable settings (a null-move
// reduction of 0 to 9, a terminated log file name).
[[maybe_unused]] void fuzzConfig(const uint8_t* data, size_t size) {
  writeFile("Mavo.cfg", std::vector<uint8_t>(data, data + size));
  resetSettings();
  readConfigFile();
  require(settings.nullMoveReduction >= 0 && settings.nullMoveReduction <= 9);
  require(strnlen(settings.logFileName, sizeof settings.logFileName) < sizeof settings.logFileName);
}

// The test suite on any perftsuite.epd, depths above 2 cut to 2 so that a
// run stays short; the position it leaves is consistent.
[[maybe_unused]] void fuzzTestSuite(const uint8_t* data, size_t size) {
  std::vector<uint8_t> suite(data, data + size);
  for (size_t i = 0; i + 2 < size; ++i)
    if (suite[i] == ';' && suite[i + 1] == 'D' && suite[i + 2] > '2' && suite[i + 2] <= '9') suite[i + 2] = '2';
  writeFile("perftsuite.epd", suite);
  chess960Mode = 0;
  Position pos;
  initPosition(pos);
  readFen(pos, startFen);
  runTestSuite(pos);
  require(!checkPosition(pos, false));  // perft's unmake leaves a later key
}

// A whole session in-process: the input is the standard input of the
// console loop, with logging on. On lines that name perft or divide every
// number is cut to one digit of at most 3; searches end by the platform.
void runSession(std::vector<uint8_t> in) {
  std::string_view text(reinterpret_cast<const char*>(in.data()), in.size());
  for (size_t start = 0; start < in.size();) {
    size_t end = std::min(text.find('\n', start), in.size());
    std::string_view line = text.substr(start, end - start);
    bool perft = line.find("perft") != line.npos || line.find("divide") != line.npos;
    for (size_t i = start; perft && i < end; ++i) {
      if (in[i] < '0' || in[i] > '9') continue;
      if (i > start && in[i - 1] >= '0' && in[i - 1] <= '3')
        in[i] = ' ';
      else
        in[i] = std::min<uint8_t>(in[i], '3');
    }
    start = end + 1;
  }
  fuzz::setInput(in.data(), in.size());
  runConsole();
  if (logFile) std::fclose(logFile);
  logFile = nullptr;
}

[[maybe_unused]] void fuzzConsole(const uint8_t* data, size_t size) { runSession({data, data + size}); }

[[maybe_unused]] void fuzzUci(const uint8_t* data, size_t size) {
  std::vector<uint8_t> in{'u', 'c', 'i', '\n'};
  in.insert(in.end(), data, data + size);
  runSession(in);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUp();
  buildAlignmentTable();
  initKeyTables();
  writeFile("Mavo.cfg", {'L', 'o', 'g', 'g', 'i', 'n', 'g', '=', '1', '\n'});  // for the sessions
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0) MAVO_FUZZ_TARGET(data, size);
  return 0;
}
