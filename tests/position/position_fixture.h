// Shared set-up for tests on positions: the start-up tables, standard castling
// mode, and helpers to read FENs and case files, name moves and compare records.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "position/fen.h"
#include "position/position.h"
#include "support/startup.h"

namespace mavo {

class PositionTest : public testing::Test {
 public:
  static void SetUpTestSuite() { test::buildStartUpTables(); }
  void SetUp() override { chess960Mode = 0; }
  void TearDown() override { chess960Mode = 0; }

  static Position load(const std::string& fen) {
    Position pos{};
    initPosition(pos);
    EXPECT_EQ(readFen(pos, fen.c_str()), FenStatus::Ok) << fen;
    return pos;
  }
};

// Rows of a case file under tests/ (e.g. "movegen/rule_cases.txt"): fields
// separated by " | "; blank lines and lines starting with '#' are skipped.
inline std::vector<std::vector<std::string>> caseRows(const std::string& name) {
  const std::string here = __FILE__;
  std::ifstream file(here.substr(0, here.rfind("position/")) + name);
  EXPECT_TRUE(file) << name;
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    rows.emplace_back();
    for (size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 3) {
      bar = line.find(" | ", start);
      rows.back().push_back(line.substr(start, bar - start));
    }
  }
  return rows;
}

// "e4"; "-" for no square.
inline std::string squareText(int s) {
  if (s == 0) return "-";
  return {static_cast<char>('a' + fileOf(s) - 1), static_cast<char>('0' + rankOf(s))};
}

// "e7e8q" style text of a generated move.
inline std::string moveText(const Move& m) {
  std::string text = squareText(m.from) + squareText(m.to);
  if (m.type >= WhitePromoQueen) text += "qrbn"[(m.type - WhitePromoQueen) % 10];
  return text;
}

// Texts of the generated moves that pass the filter, separated by blanks;
// "-" when there are none.
template <typename Filter>
std::string listText(Position& pos, Filter keep) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (!keep(pos, moves[i])) continue;
    if (!text.empty()) text += ' ';
    text += moveText(moves[i]);
  }
  return text.empty() ? "-" : text;
}

inline bool isCastling(const Move& m) { return m.type >= WhiteCastleShort && m.type <= BlackCastleLong; }

// Makes the generated move with this text; false when there is none.
inline bool play(Position& pos, const std::string& text) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  for (int i = 0; i < n; ++i) {
    if (moveText(moves[i]) != text) continue;
    makeMove(pos, moves[i]);
    return true;
  }
  return false;
}

// Name of the first field that make/unmake must restore and that differs;
// empty when they agree (the key and slot 0 are not part of the state).
inline std::string stateDiff(const Position& a, const Position& b) {
  auto same = [](const auto& x, const auto& y) { return std::equal(std::begin(x), std::end(x), std::begin(y)); };
  if (!same(a.board, b.board)) return "board";
  if (!same(a.slotAddress, b.slotAddress)) return "slotAddress";
  if (!std::equal(a.pieceList + 1, a.pieceList + 31, b.pieceList + 1)) return "pieceList";
  if (!same(a.pieceCount, b.pieceCount)) return "pieceCount";
  if (a.whiteKing != b.whiteKing || a.blackKing != b.blackKing) return "kings";
  if (!same(a.moved, b.moved)) return "moved";
  if (a.epField != b.epField || a.fifty != b.fifty || a.material != b.material) return "epField/fifty/material";
  if (a.pawnScore != b.pawnScore) return "pawnScore";
  if (a.color != b.color || a.ply != b.ply) return "color/ply";
  if (a.boardKey != b.boardKey || !same(a.pawnMask, b.pawnMask)) return "boardKey/pawnMask";
  if ((a.slotMask ^ b.slotMask) >> 1) return "slot mask";
  if (!same(a.sliderSquares, b.sliderSquares)) return "slider squares";
  if (!same(a.occupied, b.occupied)) return "occupied squares";
  return "";
}

}  // namespace mavo
