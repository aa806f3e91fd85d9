
#include "movegen/makemove.h"
#include "position/fen.h"
#include "search_setup.h"

namespace mavo::test {
namespace {

using EvalCase = std::pair<const char*, int>;  // FEN, score worked out by hand from the tables and terms

int evaluateFresh(const char* fen) {
  Position pos = loadPosition(fen);
  prepareEvaluation(pos);
  return evaluate(pos);
}

TEST(Evaluate, HandComputedScores) {
  const EvalCase cases[] = {
      // Start position: balanced, so only the tempo counts, for either side.
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 20},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", 20},
      // Material that cannot win (two knights for either side, against a
      // king or a king and knight), and two that can (KB-KN, KBB-K).
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0},
      {"4k3/8/8/8/8/8/8/2B1K3 w - - 0 1", 0},
      {"2b1k3/8/8/8/8/8/8/2B1K3 w - - 0 1", 0},
      {"4k3/8/8/8/8/8/8/1N2K3 b - - 0 1", 0},
      {"4k3/8/8/8/8/8/8/1N2K1N1 w - - 0 1", 0},
      {"1n2k1n1/8/8/8/8/8/8/4K3 b - - 0 1", 0},
      {"1n2k1n1/8/8/8/8/8/8/1N2K3 w - - 0 1", 0},
      {"1n2k3/8/8/8/8/8/8/1N2K1N1 b - - 0 1", 0},
      {"1n2k3/8/8/8/8/8/8/2B1K3 w - - 0 1", 59},
      {"4k3/8/8/8/8/8/8/2B1KB2 w - - 0 1", 702},
      // Castled king on g1 (shelter +50, rook f1 +40) while Black keeps
      // queen and rook; gone without Black's rooks, gone without its queen.
      {"r2qk2r/8/8/8/8/8/5PPP/3Q1RK1 w - - 0 1", -54},
      {"2bqkb2/8/8/8/8/8/5PPP/3Q1RK1 w - - 0 1", 174},
      {"r1b1kb1r/8/8/8/8/8/5PPP/3Q1RK1 w - - 0 1", 74},
      // Pawn on d7 with c6 behind (+150) and e7 beside (+200, and e7 +200
      // too), c6 isolated (-15); then the same mirrored for Black.
      {"k7/3PP3/2P5/8/8/8/8/7K w - - 0 1", 945},
      {"7k/8/8/8/8/2p5/3pp3/K7 b - - 0 1", 945},
      // Doubled isolated pawns: -15 each, the front one -20 more.
      {"k7/8/8/8/8/4P3/4P3/7K w - - 0 1", 184},
      // Black pawns behind the black king count while White's pawn and
      // first piece slots are empty (-80); a white pawn switches that off.
      {"8/8/3ppp2/4k3/8/8/8/K7 w - - 0 1", -365},
      {"8/8/3ppp2/4k3/8/8/7P/K7 w - - 0 1", -196},
  };
  for (auto [fen, expected] : cases) EXPECT_EQ(evaluateFresh(fen), expected) << fen;
}

// A side's king and pawns switch to their endgame tables when the opponent
// has no queen or less than 1500 besides the king, and keep them (the start
// position shows it: White's switch adds 6, pawns 20 instead of 24 and the
// king on e1 2 instead of -8; Black's takes 6) until initPosition.
TEST(Evaluate, EndgameTablesSwitchOneWay) {
  constexpr const char* kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
  const EvalCase cases[] = {
      {"r2qk3/8/8/8/8/8/8/R2QK2R w - - 0 1", 26},     // Black Q+R: 1400
      {"r2qk3/p7/8/8/8/8/8/R2QK2R w - - 0 1", 20},    // Black Q+R+P: 1500
      {"rnb1kbnr/8/8/8/8/8/8/R2QK2R w - - 0 1", 26},  // Black without queen
      {"r2qk2r/8/8/8/8/8/8/R2QK3 w - - 0 1", 14},     // White Q+R: 1400
      {"r2qk2r/8/8/8/8/8/P7/R2QK3 w - - 0 1", 20},    // White Q+R+P: 1500
  };
  for (auto [fen, expected] : cases) {
    Position pos = loadPosition(fen);
    prepareEvaluation(pos);
    ASSERT_EQ(readFen(pos, kStart), FenStatus::Ok);
    prepareEvaluation(pos);
    EXPECT_EQ(evaluate(pos), expected) << fen;
  }
}

// Each term counts for both colours: a position and its mirror (colours and
// ranks swapped, the other side to move) score alike.
TEST(Evaluate, MirroredPositionsScoreAlike) {
  const std::pair<const char*, const char*> pairs[] = {
      // long-castled king with the rook beside it, the opponent keeping Q+R
      {"r2qk3/7p/8/8/8/8/PPP4P/2KR4 w - - 0 1", "2kr4/ppp4p/8/8/8/8/7P/R2QK3 b - - 0 1"},
      // short-castled king behind its pawns
      {"r2qk3/7p/8/8/8/8/5PPP/5RK1 w - - 0 1", "5rk1/5ppp/8/8/8/8/7P/R2QK3 b - - 0 1"},
      {"k7/8/8/8/8/4P3/4P3/7K w - - 0 1", "7k/4p3/4p3/8/8/8/8/K7 b - - 0 1"},  // doubled isolated pawns
  };
  for (const auto& [white, black] : pairs) EXPECT_EQ(evaluateFresh(white), evaluateFresh(black)) << white;
}

// Making a move keeps the material the evaluation reads. The en-passant
// capture takes the pawn's value; its square value (28 on e4) stays in the
// running count, where a fresh count has none.
TEST(Evaluate, MadeMovesScoreLikeTheirPositionSetUp) {
  Position pos = loadPosition("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  prepareEvaluation(pos);
  MoveList moves;
  const int n = generateMoves(pos, moves);
  makeMove(pos, *findMove(moves, n, D4, E3, EnPassant));
  EXPECT_EQ(evaluate(pos), evaluateFresh("rnbqkbnr/ppp1pppp/8/8/8/4p3/PPPP1PPP/RNBQKBNR w KQkq - 0 2") + 28);
}

// A promotion trades the pawn's value for the new piece's, and the pawn's
// square value for none (the running count takes no square value for the new
// piece): the pawn on b7 or b2 is worth 48 in its endgame table, the other
// side having no queen.
TEST(Evaluate, PromotionsTradeThePawnForTheNewPiece) {
  auto materialChange = [](const char* fen, int from, int to, int type) {
    Position pos = loadPosition(fen);
    prepareEvaluation(pos);
    const int before = pos.material;
    makeMove(pos, legalMove(pos, from, to, type));
    return pos.material - before;
  };
  EXPECT_EQ(materialChange("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", B7, B8, WhitePromoQueen), 900 - 100 - 48);
  EXPECT_EQ(materialChange("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", B7, B8, WhitePromoKnight), 300 - 100 - 48);
  EXPECT_EQ(materialChange("4k3/8/8/8/8/8/1p6/4K3 b - - 0 1", B2, B1, BlackPromoRook), -(500 - 100 - 48));
  EXPECT_EQ(materialChange("4k3/8/8/8/8/8/1p6/R3K3 b - - 0 1", B2, A1, BlackPromoQueen), -(900 - 100 - 48) - 500);
}

}  // namespace
}  // namespace mavo::test
