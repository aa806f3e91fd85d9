#include "frontend/movetext.h"
#include "position/position_fixture.h"

namespace mavo {
namespace {

using MoveText = PositionTest;

TEST_F(MoveText, SelectsOnlyTheMoveItNames) {
  for (const auto& row : caseRows("frontend/move_texts.txt")) {
    ASSERT_EQ(row.size(), 3u);
    Position pos = load(row[0]);
    Move move;
    const bool named = parseMoveText(row[1].c_str(), pos, move);
    EXPECT_EQ(named ? moveText(move) : "-", row[2]) << row[0] << " / " << row[1];
  }
}

}  // namespace
}  // namespace mavo
