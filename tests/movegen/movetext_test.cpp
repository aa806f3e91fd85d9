#include "frontend/movetext.h"
#include "position/position_fixture.h"

namespace mavo {
namespace {

using MoveText = PositionTest;

TEST_F(MoveText, SelectsOnlyTheMoveItNames) {
  for (const auto& row : caseRows("movegen/move_texts.txt")) {
    ASSERT_EQ(row.size(), 3u);
    Position pos = load(row[0]);
    MoveList moves;
    int n = generateMoves(pos, moves);
    int index = parseMoveText(row[1].c_str(), pos);
    ASSERT_LT(index, n);
    EXPECT_EQ(index < 0 ? "-" : moveText(moves[index]), row[2]) << row[0] << " / " << row[1];
  }
}

}  // namespace
}  // namespace mavo
