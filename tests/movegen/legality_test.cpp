
#include "movegen/makemove.h"
#include "position/fen.h"
#include "position/position_fixture.h"
#include "support/suite_positions.h"

namespace mavo {
namespace {

using Legality = PositionTest;

// The line scans of the generator and sideToMoveInCheck (check, the enemy
// sliders' attacks, pins) against the full attack tests and the trials, for
// every square and every move of every piece of the side to move onto an
// empty or enemy square. Counts the pins and exposing moves met.
template <int Color>
void compareWithTrials(Position& pos, int& pinned, int& exposing) {
  const int king = Color == 1 ? pos.whiteKing : pos.blackKing;
  auto fullTest = [&](int s) { return (Color == 1 ? isAttackedByBlack : isAttackedByWhite)(pos.board, s) != 0; };
  auto sliderTest = [&](int s) { return (Color == 1 ? attackedByBlackSlider : attackedByWhiteSlider)(pos.board, s); };
  Pins pins;
  const bool check = scanKingLines<Color>(pos, king, pins) || kingStepApart(pos.whiteKing, pos.blackKing) ||
                     (Color == 1 ? attackedByBlackKnightOrPawn : attackedByWhiteKnightOrPawn)(pos.board, king);
  ASSERT_EQ(check, fullTest(king));
  ASSERT_EQ(sideToMoveInCheck(pos) != 0, check);
  // The king step test on every empty or enemy square, against the king
  // put there on the board.
  for (int s = A8; s <= H1; ++s) {
    if (!isPlayingSquare(s) || pos.board[s] * Color > 0) continue;
    const int32_t saved = pos.board[s];
    pos.board[s] = Color * kKing;
    pos.board[king] = 0;
    const bool attacked = sliderTest(s) != 0;
    pos.board[king] = Color * kKing;
    pos.board[s] = saved;
    EXPECT_EQ(slidersAttackStep<Color>(pos, king, s), attacked) << s;
  }
  if (check) return;
  pinned += pins.count;
  for (int slot = Color == 1 ? 1 : 16, last = slot + 14; slot <= last; ++slot) {
    const int from = pos.pieceList[slot];
    if (!from) continue;
    const int pin = aligned(from, king) ? pins.pinnerOf(from) : 0;
    for (int to = A8; to <= H1; ++to) {
      const int32_t target = pos.board[to] * Color;
      const int diagonal = (to - from) * Color;
      if (target > 0 || (pos.board[from] * Color == kPawn && target == 0 && (diagonal == -9 || diagonal == -11)))
        continue;  // own piece or border; the trial takes that pawn move for en passant
      const bool trial = (Color == 1 ? whiteMoveExposesKing : blackMoveExposesKing)(pos, from, to);
      exposing += trial;
      ASSERT_EQ(pin != 0 && !staysOnPinLine(king, pin, to), trial) << squareText(from) << squareText(to);
    }
  }
}

// The positions of the perft suite and every position one move below them.
TEST_F(Legality, LineScansAgreeWithTheTrials) {
  int pinned = 0, exposing = 0;
  test::forSuitePositionsAndReplies([](const std::string& fen) { return load(fen); },
                                    [&](Position& pos) {
                                      char fen[96];
                                      writeFen(pos, fen);
                                      SCOPED_TRACE(fen);
                                      if (pos.color == 1)
                                        compareWithTrials<1>(pos, pinned, exposing);
                                      else
                                        compareWithTrials<-1>(pos, pinned, exposing);
                                    });
  EXPECT_GT(pinned, 100);
  EXPECT_GT(exposing, 1000);
}

}  // namespace
}  // namespace mavo
