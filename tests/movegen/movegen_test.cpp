#include <random>
#include <set>

#include "movegen/makemove.h"
#include "position/consistency.h"
#include "position/fen.h"
#include "position/position_fixture.h"
#include "support/suite_positions.h"

namespace mavo {
namespace {

using Generate = PositionTest;

TEST_F(Generate, StartPositionOrder) {
  Position pos = load(startFen);
  EXPECT_EQ(listText(pos, [](const Position&, const Move&) { return true; }),
            "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 g2g3 g2g4 h2h3 h2h4 b1c3 b1a3 g1h3 g1f3");
}

TEST_F(Generate, PawnAndCastlingRules) {
  for (const auto& row : caseRows("movegen/rule_cases.txt")) {
    ASSERT_EQ(row.size(), 3u);
    SCOPED_TRACE(row[0]);
    chess960Mode = std::stoi(row[1]);
    Position pos = load(row[0]);
    const Position before = pos;
    EXPECT_EQ(listText(pos,
                       [](const Position& p, const Move& m) {
                         return isCastling(m) || p.board[m.from] == kPawn || p.board[m.from] == -kPawn;
                       }),
              row[2]);
    EXPECT_EQ(stateDiff(pos, before), "");
  }
}

TEST_F(Generate, NoStandardCastlingForAKingAwayFromE1) {
  chess960Mode = 1;
  Position pos = load("r5kr/8/8/8/8/8/8/R5KR w HAha - 0 1");
  chess960Mode = 0;  // the option switched after the position was set up
  EXPECT_EQ(listText(pos, [](const Position&, const Move& m) { return isCastling(m); }), "-");
}

std::string fullText(const Move& m) {
  return moveText(m) + "/" + std::to_string(m.captured) + "/" + std::to_string(m.type) + " ";
}

// The capture list is the full list filtered to captures and queen
// promotions, in the same order: over the perft suite and every position a
// move below it, whose en passant squares, promotions and pins the capture
// list's choice of pieces must not miss.
std::string capturesOfFullList(Position& pos) {
  MoveList moves;
  std::string text;
  for (int i = 0, n = generateMoves(pos, moves); i < n; ++i)
    if (moves[i].type == WhitePromoQueen || moves[i].type == BlackPromoQueen ||
        (moves[i].captured && moves[i].type < WhitePromoQueen && !isCastling(moves[i])))
      text += fullText(moves[i]);
  return text;
}

TEST_F(Generate, CaptureListOverTheSuite) {
  int captures = 0;
  test::forSuitePositionsAndReplies([](const std::string& fen) { return load(fen); },
                                    [&captures](Position& pos) {
                                      MoveList list;
                                      std::string found;
                                      const int c = generateCaptures(pos, list);
                                      for (int i = 0; i < c; ++i) found += fullText(list[i]);
                                      ASSERT_EQ(found, capturesOfFullList(pos));
                                      captures += c;
                                    });
  EXPECT_GT(captures, 3000);
}

// Random games: the three generators agree (the capture list is the full
// list filtered to captures and queen promotions, in the same order), every
// move made and unmade restores the record and leaves the key after it, and
// the game's record stays consistent.
TEST_F(Generate, RandomGamesKeepTheRecordConsistent) {
  std::set<int> seen[2];  // move types made, per castling mode
  std::mt19937 random(12345);
  for (const auto& row : caseRows("movegen/random_games.txt")) {
    const int chess960 = chess960Mode = std::stoi(row[1]);
    for (int game = 0; game < 12; ++game) {
      Position pos = load(row[0]);
      for (int ply = 0; ply < 120; ++ply) {
        SCOPED_TRACE(row[0] + " ply " + std::to_string(ply));
        MoveList moves, captures;
        int n = generateMoves(pos, moves);
        ASSERT_EQ(countLegalMoves(pos), n);
        std::string expected = capturesOfFullList(pos), found;
        for (int i = 0, c = generateCaptures(pos, captures); i < c; ++i) found += fullText(captures[i]);
        ASSERT_EQ(found, expected);
        if (n == 0) break;
        const Position before = pos;
        for (int i = 0; i < n; ++i) {
          const Move& m = moves[i];
          seen[chess960].insert(m.type);
          makeMove(pos, m);
          if (isCastling(m)) {
            const int kKingTo[] = {G1, C1, G8, C8}, kRookTo[] = {F1, D1, F8, D8};
            int32_t side = m.type <= WhiteCastleLong ? 1 : -1;
            EXPECT_EQ(pos.board[kKingTo[m.type - 2]], side * kKing);
            EXPECT_EQ(pos.board[kRookTo[m.type - 2]], side * kRook);
          }
          const char* madeFault = checkPosition(pos, true);
          ASSERT_EQ(madeFault, nullptr) << madeFault << " after " << moveText(m);
          const PositionKey after = pos.hashkey;
          ASSERT_EQ(MoveStack[pos.ply - 1].keyAfter, after);
          MoveList replies;
          const int r = generateMoves(pos, replies);
          unmakeMove(pos);
          ASSERT_EQ(stateDiff(pos, before), "") << moveText(m);
          ASSERT_EQ(pos.hashkey, after);
          // perft's board-only pair: the same replies, the record untouched.
          const Position made = pos;
          makeBoardMove(pos, m);
          MoveList boardReplies;
          ASSERT_EQ(generateMoves(pos, boardReplies), r) << moveText(m);
          for (int k = 0; k < r; ++k) ASSERT_EQ(fullText(boardReplies[k]), fullText(replies[k])) << moveText(m);
          unmakeBoardMove(pos);
          ASSERT_EQ(stateDiff(pos, made), "") << moveText(m);
          ASSERT_EQ(pos.hashkey, made.hashkey);
        }
        makeMove(pos, moves[random() % n]);
        const char* fault = checkPosition(pos, true);
        ASSERT_EQ(fault, nullptr) << fault;
      }
    }
  }
  EXPECT_EQ(seen[0], (std::set<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 17, 18, 19, 20}));
  EXPECT_TRUE(seen[1].count(2) && seen[1].count(3) && seen[1].count(4) && seen[1].count(5));
}

}  // namespace
}  // namespace mavo
