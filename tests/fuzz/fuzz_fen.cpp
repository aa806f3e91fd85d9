// readFen on any text (first byte: Chess960 mode). A text it accepts leaves
// a consistent record whose FEN reads back to the same FEN, and every legal
// move makes a consistent record and unmakes back to the same board.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "position/position.h"

using namespace mavo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  buildAlignmentTable();
  initKeyTables();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  chess960Mode = data[0] & 1;
  std::unique_ptr<char[]> text(new char[size]);  // exactly the text and its terminator
  std::memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';
  Position pos;
  initPosition(pos);
  if (readFen(pos, text.get()) != FenStatus::Ok) return 0;
  if (checkPosition(pos, true)) std::abort();
  char fen[96], again[96];
  writeFen(pos, fen);
  Position copy;
  initPosition(copy);
  if (readFen(copy, fen) != FenStatus::Ok) std::abort();
  writeFen(copy, again);
  if (std::strcmp(fen, again) != 0) std::abort();
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    makeMove(pos, moves[i]);
    if (checkPosition(pos, true)) std::abort();
    unmakeMove(pos);  // leaves the key of the position after the move
    writeFen(pos, again);
    if (checkPosition(pos, false) || std::strcmp(fen, again) != 0) std::abort();
  }
  return 0;
}
