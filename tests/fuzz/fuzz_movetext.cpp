// parseMoveText on any text in a few positions (first byte: which one). An
// index it returns is a legal move from and to the squares the text spells.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "frontend/movetext.h"
#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "position/position.h"

using namespace mavo;

namespace {
const char* const kFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/1P4P1/8/3pP3/8/8/1p4p1/R3K2R w KQkq d6 0 1",  // promotions, castling, en passant
    "1r2k1r1/1P4P1/8/8/8/8/1p4p1/1R2K1R1 b KQkq - 0 1",  // the same in Chess960
    "7k/5QQ1/8/8/8/8/8/K7 b - - 0 1",                      // mated: no legal move
};
Position positions[4];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  buildAlignmentTable();
  initKeyTables();
  for (int i = 0; i < 4; ++i) {
    chess960Mode = i == 2;
    initPosition(positions[i]);
    if (readFen(positions[i], kFens[i]) != FenStatus::Ok) std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  chess960Mode = (data[0] & 3) == 2;
  const Position& pos = positions[data[0] & 3];
  std::unique_ptr<char[]> text(new char[size]);
  std::memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';
  int index = parseMoveText(text.get(), pos);
  if (index < 0) return 0;
  Position copy = pos;
  MoveList moves;
  if (index >= generateMoves(copy, moves) || std::strlen(text.get()) < 4) std::abort();
  auto square = [&](int k) { return text[k] - 10 * text[k + 1] + 484; };
  if (moves[index].from != square(0) || moves[index].to != square(2)) std::abort();
  return 0;
}
