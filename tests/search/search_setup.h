// Set-up shared by the search tests: start-up tables, positions from FEN
// with fresh tables, and a search state without clock, input or output.
#pragma once

#include <gtest/gtest.h>

#include <climits>

#include "movegen/attack.h"
#include "movegen/movegen.h"
#include "position/fen.h"
#include "position/position.h"
#include "search/driver.h"
#include "search/evaluate.h"
#include "search/search.h"
#include "support/startup.h"

namespace mavo::test {

inline Position loadPosition(const char* fen) {
  buildStartUpTables();
  resetPieceValues();
  chess960Mode = 0;
  Position pos;
  initPosition(pos);
  EXPECT_EQ(readFen(pos, fen), FenStatus::Ok) << fen;
  return pos;
}

inline void resetSearchState() {
  resetSearchForFixedDepth();
  searchPly = 0;
  searchState.iterationDepth = 1;
}

inline const Move* findMove(const Move* moves, int n, int from, int to, int type = Normal) {
  for (int i = 0; i < n; ++i)
    if (moves[i].from == from && moves[i].to == to && moves[i].type == type) return &moves[i];
  ADD_FAILURE() << "no move " << from << "-" << to << " type " << type;
  static const Move none{};
  return &none;
}

inline Move legalMove(Position& pos, int from, int to, int type = Normal) {
  MoveList moves;
  return *findMove(moves, generateMoves(pos, moves), from, to, type);
}

}  // namespace mavo::test
