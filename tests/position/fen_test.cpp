#include "position/fen.h"
#include "position/consistency.h"
#include "position/position_fixture.h"

namespace mavo {
namespace {

using Fen = PositionTest;

std::string rights(const Position& pos) {
  const int* m = pos.moved;
  std::string r;
  if (!m[kMovedWhiteKing] && !m[kMovedWhiteShort]) r += 'K';
  if (!m[kMovedWhiteKing] && !m[kMovedWhiteLong]) r += 'Q';
  if (!m[kMovedBlackKing] && !m[kMovedBlackShort]) r += 'k';
  if (!m[kMovedBlackKing] && !m[kMovedBlackLong]) r += 'q';
  return r.empty() ? "-" : r;
}

TEST_F(Fen, ReadsFieldsAndWritesThemBack) {
  for (const auto& row : caseRows("position/fen_cases.txt")) {
    ASSERT_EQ(row.size(), 7u);
    SCOPED_TRACE(row[0]);
    chess960Mode = std::stoi(row[1]);
    Position pos = load(row[0]);
    char written[96];
    writeFen(pos, written);
    EXPECT_EQ(written, row[2] + " ");
    EXPECT_EQ(squareText(pos.epField), row[3]);
    EXPECT_EQ(pos.fifty, std::stoi(row[4]));
    EXPECT_EQ(rights(pos), row[5]);
    std::string rooks;
    for (int r : castleRookSquare) {
      if (!rooks.empty()) rooks += ' ';
      rooks += squareText(r);
    }
    EXPECT_EQ(rooks, row[6]);
    EXPECT_EQ(checkPosition(pos, true), nullptr);
  }
}

TEST_F(Fen, RefusesWhatTheRecordCannotHoldAndKeepsThePosition) {
  const std::pair<const char*, FenStatus> kRefused[] = {
      {"4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1", FenStatus::TooManyPieces},
      {"4k3/8/8/8/8/8/NNNNNNNN/4K3 w - - 0 1", FenStatus::TooManyPieces},
      {"nnnnnnnn/4k3/8/8/8/8/8/4K3 w - - 0 1", FenStatus::TooManyPieces},
      {"4k3/8/8/8/8/8/8/8 w - - 0 1", FenStatus::KingCount},
      {"4k2k/8/8/8/8/8/8/4K3 w - - 0 1", FenStatus::KingCount},
      {"P3k3/8/8/8/8/8/8/4K3 w - - 0 1", FenStatus::PawnOnEdgeRank},
      {"4k3/8/8/8/8/8/8/p3K3 w - - 0 1", FenStatus::PawnOnEdgeRank},
      {"4k3/8/8/8/8/8/8/4K2r b - - 0 1", FenStatus::KingCapturable},
  };
  chess960Mode = 1;  // rook squares that a refused text would overwrite
  for (const auto& [fen, status] : kRefused) {
    SCOPED_TRACE(fen);
    Position pos = load("2r1kr2/8/8/8/8/8/8/2R1KR2 w FCfc - 0 1");
    ASSERT_TRUE(play(pos, "e1e2"));
    const Position before = pos;
    EXPECT_EQ(readFen(pos, fen), status);
    EXPECT_EQ(stateDiff(pos, before), "");
    EXPECT_EQ(pos.hashkey, before.hashkey);
    EXPECT_EQ(castleRookSquare[kWhiteLong], C1);
    EXPECT_EQ(castleRookSquare[kBlackShort], F8);
  }
}

}  // namespace
}  // namespace mavo
