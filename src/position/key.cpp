#include "position/key.h"

namespace mavo {

PositionKey pieceKey[12][kBoardCells];
PositionKey epKey[kBoardCells];
PositionKey whiteToMoveKey;
uint32_t keyRandom = 1;

uint32_t nextKeyRandom() {
  keyRandom = keyRandom * 214013u + 2531011u;
  return (keyRandom >> 16) & 32767u;
}

namespace {
PositionKey nextTableValue() {
  PositionKey r1 = nextKeyRandom();
  PositionKey r2 = nextKeyRandom();
  PositionKey r3 = nextKeyRandom();
  return (((r1 << 15) ^ r2) << 15) ^ r3;
}
}  // namespace

// The values of one square side by side; an empty piece-list slot names
// square 0, the border, which adds zero.
PositionKey squareKey[kBoardCells][16];
PositionKey epSquareKey[kBoardCells];

void initKeyTables() {
  for (auto& row : pieceKey)
    for (PositionKey& v : row) v = nextTableValue();
  for (PositionKey& v : epKey) v = nextTableValue();
  whiteToMoveKey = nextTableValue();
  for (int s = 0; s < kBoardCells; ++s) {
    for (PieceCode c = -kKing; c <= kKing; ++c)
      squareKey[s][c + 8] = c > 0 ? pieceKey[c + 5][s] : c < 0 ? pieceKey[-c - 1][s] : 0;
    squareKey[s][kBorder + 8] = 0;
    epSquareKey[s] = s ? epKey[s] : 0;
  }
}

// From the piece list: 32 lookups, without a branch (a captured piece's slot
// names square 0, which adds zero).
void computeKey(Position& pos) {
  const int32_t* b = pos.board;
  const int32_t* list = pos.pieceList;
  PositionKey key = squareKey[pos.blackKing][8 - kKing] ^ squareKey[pos.whiteKing][8 + kKing];
  const PositionKey* table = &squareKey[0][0];
#pragma GCC unroll 30
  for (int slot = 1; slot <= kLastSlot; ++slot) {
    const uint32_t s = static_cast<uint32_t>(list[slot]);
    key ^= table[s * 16 + static_cast<uint32_t>(b[s] + 8)];
  }
  key ^= epSquareKey[pos.epField];
  pos.boardKey = key;
  pos.hashkey = key ^ sideKey(pos.color);
}

}  // namespace mavo
