#include <sstream>

#include "position/position_fixture.h"

namespace mavo {
namespace {

using MakeMove = PositionTest;

TEST_F(MakeMove, CastlingRightsFollowTheRooks) {
  for (const auto& row : caseRows("movegen/castling_rights.txt")) {
    ASSERT_EQ(row.size(), 4u);
    SCOPED_TRACE(row[0] + " after " + row[2]);
    chess960Mode = std::stoi(row[1]);
    Position pos = load(row[0]);
    std::istringstream played(row[2] == "-" ? "" : row[2]);
    for (std::string move; played >> move;) ASSERT_TRUE(play(pos, move)) << move;
    EXPECT_EQ(listText(pos, [](const Position&, const Move& m) { return isCastling(m); }), row[3]);
  }
}

TEST_F(MakeMove, FiftyCounter) {
  Position pos = load("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 7 1");
  ASSERT_TRUE(play(pos, "e1g1"));
  EXPECT_EQ(pos.fifty, 8);
  ASSERT_TRUE(play(pos, "a8a1"));
  EXPECT_EQ(pos.fifty, 0);
  chess960Mode = 1;  // castling names the own rook's square and counts as a capture
  pos = load("r3k2r/8/8/8/8/8/8/R3K2R w HAha - 7 1");
  ASSERT_TRUE(play(pos, "e1h1"));
  EXPECT_EQ(pos.fifty, 0);
}

}  // namespace
}  // namespace mavo
