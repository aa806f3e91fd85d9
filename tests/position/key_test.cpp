#include "position/position_fixture.h"

namespace mavo {
namespace {

TEST(KeyGenerator, FirstDrawsFromStateOne) {
  keyRandom = 1;
  EXPECT_EQ(nextKeyRandom(), 41u);
  EXPECT_EQ(nextKeyRandom(), 18467u);
  EXPECT_EQ(nextKeyRandom(), 6334u);
  EXPECT_EQ(nextKeyRandom(), 26500u);
  EXPECT_EQ(nextKeyRandom(), 19169u);
}

using Key = PositionTest;

TEST_F(Key, TablesAreDrawnInOrder) {
  EXPECT_EQ(pieceKey[0][0], 44628547774u);
  EXPECT_EQ(pieceKey[0][1], 28454786481516u);
  EXPECT_EQ(whiteToMoveKey, 14466126351880u);
}

TEST_F(Key, StartPositionAndAfterE4) {
  Position pos = load(startFen);
  EXPECT_EQ(pos.hashkey, 26640608849989u);
  ASSERT_TRUE(play(pos, "e2e4"));
  EXPECT_EQ(pos.hashkey, 12397831959679u);
  char fen[96];
  writeFen(pos, fen);
  EXPECT_STREQ(fen, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 ");
}

TEST_F(Key, DependsOnPiecesSideAndEnPassantOnly) {
  const std::string board = "r3k2r/8/8/3pP3/8/8/8/R3K2R ";
  const PositionKey key = load(board + "w - - 0 1").hashkey;
  EXPECT_EQ(load(board + "w KQkq - 7 30").hashkey, key);
  EXPECT_NE(load(board + "w - d6 0 1").hashkey, key);
  EXPECT_NE(load(board + "b - - 0 1").hashkey, key);
}

}  // namespace
}  // namespace mavo
