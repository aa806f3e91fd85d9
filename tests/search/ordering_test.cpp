#include <vector>

#include "search/ordering.h"
#include "search_setup.h"

namespace mavo::test {
namespace {

struct ScoreCase {
  int from, to, type, expected;
};

void expectScores(const Move* moves, int n, std::initializer_list<ScoreCase> cases) {
  for (const ScoreCase& c : cases)
    EXPECT_EQ(findMove(moves, n, c.from, c.to, c.type)->score, c.expected) << c.from << "-" << c.to;
}

Move squares(int from, int to) {
  Move m{};
  m.from = from, m.to = to;
  return m;
}

// White: Ke1, pawns b7, e4, g5; Black: Kh8, Nc8, Qd5. Base scores are the
// opening square gain plus the victim's value: e4xd5 29-28+900 = 901,
// b7-b8 0-15, b7xc8 0-15+300, g5-g6 15-11, e4-e5 29-28, king steps from
// e1 (-8) to e2/f1/f2 (-14) -6.
constexpr const char* kOrderingFen = "2n4k/1P6/8/3q2P1/4P3/8/8/4K3 w - - 0 1";

TEST(Ordering, BonusChainAndDepthMinusTwoKillers) {
  Position pos = loadPosition(kOrderingFen);
  resetSearchState();
  killerPrimary[5] = squares(E4, D5);        // a killer that captures
  killerSecondary[5] = squares(E1, F1);      // the older killer, +365
  killerSecondary[3] = squares(E1, F1);      // second stage: +345
  mateKillerPrimary[5] = squares(E1, F2);    // +370 ...
  killerPrimary[3] = squares(E1, F2);        // ... then 370 - 6 >= 360: no second stage
  mateKillerSecondary[3] = squares(E4, E5);  // second stage: +350
  rootPV.moves[0] = squares(E1, E2);         // previous line at searchPly 0: +390
  MoveList moves;
  const int n = generateMoves(pos, moves);
  scoreMoves(n, moves, pos, 5);
  expectScores(moves, n,
               {{E4, D5, Normal, 901 + 360}, {E1, F1, Normal, -6 + 365 + 345}, {E1, F2, Normal, -6 + 370},
                {E4, E5, Normal, 1 + 350}, {E1, E2, Normal, -6 + 390}, {B7, B8, WhitePromoQueen, -15 + 400},
                {B7, C8, WhitePromoQueen, 285 + 400}, {B7, C8, WhitePromoRook, 285 + 800},
                {B7, B8, WhitePromoKnight, -15 + 340}, {G5, G6, Normal, 4 + 340}});
  // At depth 2 the second stage is skipped, whatever index 0 holds.
  killerSecondary[2] = killerSecondary[0] = squares(E1, F1);
  killerPrimary[0] = squares(E4, E5);
  scoreMoves(n, moves, pos, 2);
  expectScores(moves, n, {{E1, F1, Normal, -6 + 365}, {E4, E5, Normal, 1}, {E4, D5, Normal, 901 + 800}});
}

TEST(Ordering, CaptureScores) {
  Position pos = loadPosition(kOrderingFen);
  resetSearchState();
  rootPV.moves[0] = squares(B7, B8);
  MoveList moves;
  int n = generateCaptures(pos, moves);
  ASSERT_EQ(n, 3);  // e4xd5, b8=Q, bxc8=Q
  scoreCaptures(moves, n, pos);
  expectScores(moves, n, {{E4, D5, Normal, 901}, {B7, C8, WhitePromoQueen, 285}, {B7, B8, WhitePromoQueen, 885}});
  // Black pawn d4 takes a knight on e3 (Black's table: d4 29, e3 32).
  pos = loadPosition("4k3/8/8/8/3p4/4N3/8/4K3 b - - 0 1");
  n = generateCaptures(pos, moves);
  scoreCaptures(moves, n, pos);
  expectScores(moves, n, {{D4, E3, Normal, 32 - 29 + 300}});
}

// The Shell sort's own steps decide the order of equal scores: gaps
// count/2 .. 1, exchanging only while the left score is strictly greater.
TEST(Ordering, ShellSortOrderOfTies) {
  const std::pair<std::vector<int>, std::vector<int>> cases[] = {
      // scores, then the input positions in sorted order
      {{1, 2, 1, 1}, {0, 3, 2, 1}},  // gap 2 carries the last 1 past the third
      {{5, 1, 5, 1, 3}, {1, 3, 4, 0, 2}},
      {{7, 7, 7}, {0, 1, 2}},  // equal scores: no exchange
      {{4}, {0}},
  };
  for (const auto& [scores, expected] : cases) {
    std::vector<Move> moves(scores.size());
    for (size_t i = 0; i < scores.size(); ++i) moves[i].score = scores[i], moves[i].from = static_cast<int>(i);
    sortMoves(moves.data(), static_cast<int>(moves.size()));
    std::vector<int> order;
    for (const Move& m : moves) order.push_back(m.from);
    EXPECT_EQ(order, expected);
  }
}

}  // namespace
}  // namespace mavo::test
