#include <fstream>
#include <random>
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

// The key counts hold, bucket by bucket, the entries below ply: each make
// counts its entry in, each unmake counts it out, castling, en passant and
// promotions included. Random lines from the perft suite, down and back up.
TEST_F(MakeMove, KeyCountsFollowTheStack) {
  auto expectCounts = [](const Position& pos) {
    uint16_t expected[kStackKeyBucketMask + 1] = {};
    for (int i = 0; i < pos.ply; ++i) ++expected[MoveStack[i].keyAfter & kStackKeyBucketMask];
    for (uint64_t b = 0; b <= kStackKeyBucketMask; ++b) ASSERT_EQ(stackKeyCount[b], expected[b]) << "ply " << pos.ply;
  };
  std::mt19937 random(77);
  std::ifstream suite(MAVO_DATA_DIR "/perftsuite.epd");
  int made = 0;
  for (std::string line; std::getline(suite, line);) {
    Position pos = load(line.substr(0, line.find(';')));
    for (uint16_t& c : stackKeyCount) c = 0;
    int depth = 0;
    for (; depth < 30; ++depth) {
      MoveList moves;
      const int n = generateMoves(pos, moves);
      if (n == 0) break;
      makeMove(pos, moves[random() % n]);
      ++made;
      expectCounts(pos);
    }
    for (; depth > 0; --depth) {
      unmakeMove(pos);
      expectCounts(pos);
    }
  }
  EXPECT_GT(made, 1000);
}

}  // namespace
}  // namespace mavo
