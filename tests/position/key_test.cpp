#include "position/position_fixture.h"

namespace mavo {
namespace {

using Key = PositionTest;

// The key values themselves (generator, draw order) are pinned by the golden
// sessions that print them.
TEST_F(Key, DependsOnPiecesSideAndEnPassantOnly) {
  const std::string board = "r3k2r/8/8/3pP3/8/8/8/R3K2R ";
  const PositionKey key = load(board + "w - - 0 1").hashkey;
  EXPECT_EQ(load(board + "w KQkq - 7 30").hashkey, key);
  EXPECT_NE(load(board + "w - d6 0 1").hashkey, key);
  EXPECT_NE(load(board + "b - - 0 1").hashkey, key);
}

}  // namespace
}  // namespace mavo
