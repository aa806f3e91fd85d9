#include <fstream>

#include "position/position_fixture.h"

namespace mavo {
namespace {

using Legality = PositionTest;

// The generator and sideToMoveInCheck tell check from the king's lines and
// the leapers, and out of check the generator judges a piece's moves by the
// alignment table and the pins on the king's lines (scanKingLines) instead
// of trying each move on the board. Both must agree with the full attack
// test and the trial, for every piece of the side to move and every empty or
// enemy square. Counts the pinned pieces and exposing moves met, so that the
// comparison cannot pass without any.
void compareWithTrials(Position& pos, int& pinned, int& exposing) {
  const int color = pos.color, king = color == 1 ? pos.whiteKing : pos.blackKing;
  Pins pins;
  const bool check = (color == 1 ? scanKingLines<1>(pos, king, pins) ||
                                       attackedByBlackKnightOrPawn(pos.board, king)
                                 : scanKingLines<-1>(pos, king, pins) ||
                                       attackedByWhiteKnightOrPawn(pos.board, king)) ||
                     kingStepApart(pos.whiteKing, pos.blackKing);
  const bool attacked = (color == 1 ? isAttackedByBlack(pos.board, king) : isAttackedByWhite(pos.board, king)) != 0;
  ASSERT_EQ(check, attacked);
  ASSERT_EQ(sideToMoveInCheck(pos) != 0, attacked);
  if (check) return;
  pinned += pins.count;
  for (int slot = color == 1 ? 1 : 16, last = slot + 14; slot <= last; ++slot) {
    const int from = pos.pieceList[slot];
    if (!from) continue;
    const int pin = aligned(from, king) ? pins.pinnerOf(from) : 0;
    for (int to = A8; to <= H1; ++to) {
      const int32_t target = pos.board[to] * color;
      const int diagonal = (to - from) * color;
      if (target > 0 || (pos.board[from] * color == kPawn && target == 0 && (diagonal == -9 || diagonal == -11)))
        continue;  // own piece or border; the trial takes that pawn move for en passant
      const bool trial = color == 1 ? whiteMoveExposesKing(pos, from, to) : blackMoveExposesKing(pos, from, to);
      exposing += trial;
      ASSERT_EQ(pin != 0 && !staysOnPinLine(king, pin, to), trial)
          << squareText(from) << squareText(to) << " in " << [&] {
               char fen[96];
               writeFen(pos, fen);
               return std::string(fen);
             }();
    }
  }
}

// The positions of the perft suite and every position one move below them.
TEST_F(Legality, LineScanAgreesWithTheTrial) {
  std::ifstream file(MAVO_DATA_DIR "/perftsuite.epd");
  ASSERT_TRUE(file);
  int pinned = 0, exposing = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty()) continue;
    Position pos = load(line.substr(0, line.find(';')));
    compareWithTrials(pos, pinned, exposing);
    MoveList moves;
    for (int i = 0, n = generateMoves(pos, moves); i < n; ++i) {
      makeMove(pos, moves[i]);
      compareWithTrials(pos, pinned, exposing);
      unmakeMove(pos);
    }
  }
  EXPECT_GT(pinned, 100);
  EXPECT_GT(exposing, 1000);
}

}  // namespace
}  // namespace mavo
