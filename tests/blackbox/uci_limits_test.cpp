// What analysis tools and match runners ask of a search over UCI: depth,
// node and mate limits, the root moves, perft, tokens however spaced, a new
// game that is new, and a search whose lines can be told again by its
// limits alone. Tested by the depths and node counts printed, never by time.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "blackbox/uci_session.h"

namespace mavo::test {
namespace {

std::vector<std::string> pvMoves(const std::string& infoLine) {
  std::vector<std::string> moves;
  std::istringstream in(infoLine.substr(infoLine.find(" pv ") + 4));
  for (std::string m; in >> m;) moves.push_back(m);
  return moves;
}

// A fresh engine's answer to one search.
std::string freshSearch(const std::string& position, const std::string& go) {
  Uci uci;
  return uci.search(position + "\n" + go + "\n");
}

TEST(UciLimits, DepthRunsItsIterationsWhateverElseTheLineHolds) {
  for (const char* go : {"go depth 5", "go depth 5 wtime 600000 btime 600000", "go movetime 600000 depth 5"}) {
    const std::string out = freshSearch("position startpos", go);
    const std::vector<std::string> lines = iterationLines(out);
    ASSERT_EQ(lines.size(), 5u) << go << "\n" << out;
    for (int d = 1; d <= 5; ++d) EXPECT_EQ(lines[d - 1].rfind("info depth " + std::to_string(d) + " ", 0), 0u);
    EXPECT_EQ(bestMove(out), pvMoves(lines.back())[0]) << go;
  }
}

std::string nodesOf(const std::string& line) {
  std::smatch m;
  return std::regex_search(line, m, std::regex(" nodes (\\d+) ")) ? m[1].str() : "";
}

// The node count of an iteration is a limit that lets exactly that
// iteration finish; one node less ends the search with the one before.
TEST(UciLimits, NodesStopAtTheCountAndRepeatTheSearch) {
  const std::vector<std::string> byDepth = iterationLines(freshSearch("position startpos", "go depth 5"));
  ASSERT_EQ(byDepth.size(), 5u);
  const uint64_t fourth = std::stoull(nodesOf(byDepth[3]));

  const std::string exact = freshSearch("position startpos", "go nodes " + std::to_string(fourth));
  std::vector<std::string> four(byDepth.begin(), byDepth.begin() + 4);
  EXPECT_EQ(iterationLines(exact), four);
  EXPECT_EQ(bestMove(exact), pvMoves(four.back())[0]);

  const std::string less = freshSearch("position startpos", "go nodes " + std::to_string(fourth - 1));
  EXPECT_EQ(lastDepth(less), 3) << less;
  for (const std::string& line : iterationLines(less)) EXPECT_LT(std::stoull(nodesOf(line)), fourth);
}

// In the manner of other engines' reproducibility checks: the same node
// limit in one process, before and after ucinewgame, prints the same lines,
// also after a search of another game (an endgame, whose tables and
// killers must not stay).
TEST(UciLimits, ANewGameSearchesAsAFreshProgram) {
  const std::string start = "position startpos moves e2e4 c7c5\n";
  const std::string fresh = freshSearch(start, "go nodes 60000");
  ASSERT_GE(lastDepth(fresh), 5);
  Uci uci;
  EXPECT_EQ(iterationLines(uci.search(start + "go nodes 60000\n")), iterationLines(fresh));
  uci.search("ucinewgame\nposition fen 8/5k2/8/3K4/8/8/5P2/8 w - - 0 1\ngo nodes 60000\n");
  const std::string again = uci.search("ucinewgame\n" + start + "go nodes 60000\n");
  EXPECT_EQ(iterationLines(again), iterationLines(fresh));
  EXPECT_EQ(bestMove(again), bestMove(fresh));
}

// White mates in two; the search ends with the iteration that proves it.
TEST(UciLimits, MateEndsOnceTheMateIsFound) {
  const std::string out = freshSearch("position fen k7/8/2K5/8/8/8/8/7R w - - 0 1", "go mate 2");
  const std::vector<std::string> lines = iterationLines(out);
  ASSERT_FALSE(lines.empty()) << out;
  EXPECT_NE(lines.back().find(" score mate 2 "), std::string::npos) << lines.back();
  for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].find(" score mate "), std::string::npos);
  EXPECT_EQ(bestMove(out), pvMoves(lines.back())[0]);
}

// Only the named root moves are searched; a text that is no legal move is
// passed over, and the clock words after the list are read as such.
TEST(UciLimits, SearchmovesRestrictsTheRoot) {
  const std::string out = freshSearch("position startpos", "go searchmoves a2a3 h2h3 e9e9 b1a3 depth 4");
  const std::vector<std::string> lines = iterationLines(out);
  ASSERT_EQ(lines.size(), 4u) << out;
  const std::set<std::string> allowed = {"a2a3", "h2h3", "b1a3"};
  for (const std::string& line : lines) EXPECT_TRUE(allowed.count(pvMoves(line)[0])) << line;
  EXPECT_TRUE(allowed.count(bestMove(out)));

  TempDir dir;
  dir.write("Mavo.cfg", "Logging=1\n");
  {
    Uci uci(dir.path());
    EXPECT_NE(uci.search("position startpos\ngo searchmoves e2e4 d2d4 wtime 600000 btime 600000 nodes 3000\n"), "");
  }
  // The clock's budget (600000 / 30), not a movetime read from "searchmoves".
  EXPECT_NE(dir.read("Mavo.log").find("calctime: 20000\n"), std::string::npos);
}

// Blanks and tabs, however many, separate the words of position and go.
TEST(UciLimits, WordsSeparatedByAnyBlanks) {
  const std::string out = freshSearch("position  startpos \t moves\te2e4  e7e5   g1f3", "go\tdepth  2 ");
  ASSERT_EQ(lastDepth(out), 2) << out;
  EXPECT_GT(bestMove(out).substr(1, 1), "6") << "Black to move";
}

// The form that move-generator debugging tools read.
TEST(UciLimits, GoPerftListsEachMoveAndTheTotal) {
  Uci uci;
  const size_t from = uci.mark();
  uci.engine.send("position fen 8/8/8/8/8/8/1p6/4K2k b - - 0 1\ngo perft 2\n");
  ASSERT_TRUE(uci.engine.waitFor("\nNodes searched: ", 5000, from));
  ASSERT_TRUE(uci.engine.waitFor("\n\n", 5000, uci.engine.output().find("Nodes searched", from)));
  const std::string out = uci.since(from);
  EXPECT_NE(out.find("b2b1q: "), std::string::npos) << out;
  EXPECT_NE(out.find("b2b1n: "), std::string::npos);
  uint64_t sum = 0;
  std::smatch m;
  for (std::string rest = out; std::regex_search(rest, m, std::regex("\n?([a-h][1-8][a-h][1-8][qrbn]?): (\\d+)\n"));
       rest = m.suffix())
    sum += std::stoull(m[2].str());
  ASSERT_TRUE(std::regex_search(out, m, std::regex("\nNodes searched: (\\d+)\n\n")));
  EXPECT_EQ(std::to_string(sum), m[1].str());
}

}  // namespace
}  // namespace mavo::test
