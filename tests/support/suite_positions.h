// The perft suite's positions and every position one legal move below them:
// a few thousand real positions for tests that hold a rule over all of them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "position/position.h"

namespace mavo::test {

// load(fen) sets a position up; visit(pos) sees it and each position after
// one of its moves.
template <class Load, class Visit>
void forSuitePositionsAndReplies(Load load, Visit visit) {
  std::ifstream file(MAVO_DATA_DIR "/perftsuite.epd");
  ASSERT_TRUE(file);
  for (std::string line; std::getline(file, line);) {
    if (line.empty()) continue;
    Position pos = load(line.substr(0, line.find(';')));
    visit(pos);
    MoveList moves;
    for (int i = 0, n = generateMoves(pos, moves); i < n; ++i) {
      makeMove(pos, moves[i]);
      visit(pos);
      unmakeMove(pos);
    }
  }
}

}  // namespace mavo::test
