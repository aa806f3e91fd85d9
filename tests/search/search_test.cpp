#include <algorithm>
#include <string>

#include "movegen/makemove.h"
#include "search/ordering.h"
#include "search_setup.h"
#include "support/suite_positions.h"

namespace mavo::test {
namespace {

using Squares = std::pair<int, int>;  // from, to

void play(Position& pos, std::initializer_list<Squares> moves) {
  for (auto [from, to] : moves) makeMove(pos, legalMove(pos, from, to));
}

TEST(Draw, FiftyMoveRuleFiresAt101) {
  EXPECT_EQ(checkfordraw(loadPosition("4k3/8/8/8/8/8/R7/4K3 w - - 100 90")), 0);
  EXPECT_EQ(checkfordraw(loadPosition("4k3/8/8/8/8/8/R7/4K3 w - - 101 90")), 1);
}

TEST(Draw, ThirdOccurrenceOnTheMoveStack) {
  Position pos = loadPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  play(pos, {{B1, C3}});  // a double step would leave an en passant square in the key
  const std::initializer_list<Squares> dance = {{G8, F6}, {G1, F3}, {F6, G8}, {F3, G1}};
  play(pos, dance);
  EXPECT_EQ(checkfordraw(pos), 0);  // second time
  play(pos, dance);
  EXPECT_EQ(checkfordraw(pos), 1);  // third time
}

int searchRoot(Position& pos, int depth, int alpha = -kInfinity, int beta = kInfinity) {
  prepareEvaluation(pos);
  resetSearchState();
  searchState.iterationDepth = depth;
  PvLine pv;
  return alphaBeta(pos, alpha, beta, 0, depth, pv, 0);
}

// The search's draw test skips the scan by counts of the stack's keys, which
// it takes afresh at its root: whatever happened to them before (here they
// are wiped) cannot hide a repetition, at the root or below it.
TEST(Draw, SearchSeesRepetitionsWhateverTheKeyCountsHeld) {
  const std::initializer_list<Squares> dance = {{E1, D1}, {E8, D8}, {D1, E1}, {D8, E8}};
  // The set-up position has no entry: after three dances the stack holds it
  // twice before the root.
  Position third = loadPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  for (int i = 0; i < 3; ++i) play(third, dance);
  for (uint16_t& c : stackKeyCount) c = 0;
  EXPECT_EQ(searchRoot(third, 3), 0);  // the root itself occurs the third time

  Position second = loadPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  for (int i = 0; i < 2; ++i) play(second, dance);
  for (uint16_t& c : stackKeyCount) c = 0;
  EXPECT_GT(searchRoot(second, 3), 500);  // a queen up
  // Black to move: Kd8-e8 brings the set-up position back onto the stack the
  // third time, a draw one ply below the root, which the side a queen down
  // takes.
  Position below = loadPosition("4k3/8/8/8/8/8/8/Q3K3 w - - 0 1");
  for (int i = 0; i < 2; ++i) play(below, dance);
  play(below, {{E1, D1}, {E8, D8}, {D1, E1}});
  for (uint16_t& c : stackKeyCount) c = 0;
  EXPECT_EQ(searchRoot(below, 1), 0);
}

TEST(AlphaBeta, MateAndStalemateAtTheRoot) {
  Position mated = loadPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(searchRoot(mated, 1), -9999999);
  Position stalemate = loadPosition("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(searchRoot(stalemate, 1), 0);
  // Depth 1 finds the mate in one: the checked reply node extends by one
  // ply instead of entering the quiescence search, and has no move.
  Position mateInOne = loadPosition("7k/8/6K1/8/8/8/8/5Q2 w - - 0 1");
  EXPECT_EQ(searchRoot(mateInOne, 1), 9999998);
  EXPECT_EQ(searchState.rootBestMove.from, F1);
  EXPECT_EQ(searchState.rootBestMove.to, F8);
}

// The quiescence list is searched from its end: the most valuable victim
// first, but the previous line's capture at this ply before all others.
TEST(Quiesce, PreviousLineCaptureIsSearchedFirst) {
  Position pos = loadPosition("2n4k/1P6/7p/3q2P1/4P3/8/8/4K3 w - - 0 1");
  resetSearchState();
  MoveList moves;
  const int n = generateCaptures(pos, moves);
  ASSERT_GT(n, 3);  // shorter lists are not sorted
  auto first = [&] {
    scoreCaptures(moves, n, pos);
    sortMoves(moves, n);
    return Squares(moves[n - 1].from, moves[n - 1].to);
  };
  rootPV.moves[0] = Move{};
  EXPECT_EQ(first(), Squares(E4, D5));
  rootPV.moves[0] = legalMove(pos, G5, H6);
  EXPECT_EQ(first(), Squares(G5, H6));
}

TEST(Quiesce, StandPatAndTheNullMove) {
  // Bare kings: no capture anywhere. The stand pat (0) raises alpha; from
  // depth 4 on the null move costs one more node.
  Position pos = loadPosition("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  prepareEvaluation(pos);
  for (int qsDepth : {3, 4}) {
    resetSearchState();
    PvLine pv;
    EXPECT_EQ(quiesce(pos, -100, 100, qsDepth, pv), 0);
    EXPECT_EQ(searchState.qsNodes, qsDepth > 3 ? 2u : 1u);
  }
  // Mated in the quiescence search: the mate score, whatever the window.
  resetSearchState();
  Position mated = loadPosition("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
  prepareEvaluation(mated);
  PvLine pv;
  EXPECT_EQ(quiesce(mated, -100, 100, 1, pv), matedIn(0));
  // In check with the static score at or above beta: the score itself.
  Position checked = loadPosition("4k3/8/8/8/8/8/4r3/Q3K3 w - - 0 1");
  prepareEvaluation(checked);
  EXPECT_EQ(quiesce(checked, -100, 100, 2, pv), evaluate(checked));
  EXPECT_GT(evaluate(checked), 100);
}

// The quiescence node's null move never cuts: below the node's beta, the
// child's stand pat meets the child's own beta, so the child returns it at
// once. The search counts that child without evaluating it, which holds only
// while this does: the perft suite's positions and every one a move below.
TEST(Quiesce, NullMoveChildReturnsItsStandPat) {
  int checked = 0;
  auto load = [](const std::string& fen) {
    Position pos = loadPosition(fen.c_str());
    prepareEvaluation(pos);
    return pos;
  };
  forSuitePositionsAndReplies(load, [&checked](Position& pos) {
    if (sideToMoveInCheck(pos)) return;
    const int standPat = evaluate(pos);
    for (int beta : {standPat + 1, standPat + 90, standPat + 2000}) {
      resetSearchState();
      pos.color = -pos.color;
      PvLine pv;
      const int v = -quiesce(pos, -beta, 1 - beta, 4, pv);
      pos.color = -pos.color;
      ASSERT_LT(v, beta) << standPat;
      ASSERT_EQ(searchState.qsNodes, 1u) << standPat;
    }
    ++checked;
  });
  EXPECT_GT(checked, 900);
}

// The generator scores each move as scoreMoves scores a move that no killer,
// mate killer or line names: over the perft suite and a move below it, and
// for en passant, promotions and a Chess960 castling onto its own rook (what
// stands on the target counts, not what is taken).
TEST(Ordering, GeneratedScoresAreScoreMovesWithoutNamedMoves) {
  int moves = 0;
  auto compare = [&moves](Position& pos) {
    resetSearchState();  // no killers, no line
    MoveList generated, rescored;
    const int n = generateMoves(pos, generated);
    std::copy(generated, generated + n, rescored);
    scoreMoves(n, rescored, pos, 5);
    for (int i = 0; i < n; ++i)
      ASSERT_EQ(generated[i].score, rescored[i].score) << generated[i].from << "-" << generated[i].to;
    moves += n;
  };
  forSuitePositionsAndReplies([](const std::string& fen) { return loadPosition(fen.c_str()); }, compare);
  EXPECT_GT(moves, 20000);
  for (const char* fen : {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "4k3/1P6/8/8/8/8/6p1/4K2R b - - 0 1",
                          "1r2k1r1/pppppppp/8/8/8/8/PPPPPPPP/1R2K1R1 w GBgb - 0 1"}) {
    Position pos = loadPosition(fen);
    chess960Mode = 1;
    compare(pos);
    pos.color = -pos.color;
    compare(pos);
    chess960Mode = 0;
  }
}

// The progress output names the root move being searched: neither a reply
// in check (searched to the iteration's depth) nor the nodes below a null
// move may pass for the root, and a root in check (one ply deeper) is one.
MoveList rootMoves;
int rootMoveTotal;
int foreignRootMoves;

bool isRootMove(const Move& m) {
  for (int i = 0; i < rootMoveTotal; ++i)
    if (rootMoves[i].from == m.from && rootMoves[i].to == m.to && rootMoves[i].type == m.type) return true;
  return false;
}

void checkRootMove() {
  if (searchState.rootMoveNumber > 0 && !isRootMove(searchState.currentRootMove)) ++foreignRootMoves;
}

TEST(Driver, ProgressNamesTheRootsMoves) {
  for (auto [fen, depthBound] :
       {std::pair{"4k3/8/8/8/3Q4/8/8/4K3 w - - 0 1", 7}, {"4k3/8/8/8/8/8/4r3/Q3K3 w - - 0 1", 5}}) {
    Position pos = loadPosition(fen);
    prepareEvaluation(pos);
    resetSearchState();
    searchHooks.progress = checkRootMove;
    searchState.progressCountdown = 0;  // at the first node, then every 262144
    rootMoveTotal = generateMoves(pos, rootMoves);
    foreignRootMoves = 0;
    iterate(pos, rootMoveTotal, depthBound, nullptr);
    EXPECT_EQ(foreignRootMoves, 0) << fen;
    EXPECT_EQ(searchState.rootMoveCount, rootMoveTotal) << fen;
    EXPECT_EQ(searchState.rootMoveNumber, rootMoveTotal) << fen;  // the root's full window cuts nothing
    EXPECT_TRUE(isRootMove(searchState.currentRootMove)) << fen;
  }
  searchHooks = SearchHooks{};
}

}  // namespace
}  // namespace mavo::test
