// The engine thinking at the console: replies under a time or depth limit,
// and analysis ended by a typed line or by the end of input.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>

#include "support/engine_process.h"

namespace mavo::test {
namespace {

int64_t msSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Any line ends "analyze" and is then served ("isready" too: only the UCI
// loop answers it); a stop word ends it and is used up.
TEST(ConsoleSearch, AnalyzeEndsOnAnyLineAndServesIt) {
  EngineProcess engine;
  ASSERT_TRUE(engine.waitFor(kConsoleStart, 5000));
  engine.send("analyze\n");
  ASSERT_TRUE(engine.waitFor("\n  5 ", 20000));
  size_t mark = engine.output().size();
  engine.send("isready\n");
  ASSERT_TRUE(engine.waitFor("\nmavo: \ninput correct ?: isready", 3000, mark));
  engine.send("analyze\n");
  ASSERT_TRUE(engine.waitFor("\n  5 ", 20000, mark));
  mark = engine.output().size();
  const auto start = std::chrono::steady_clock::now();
  engine.send("stop\n");
  ASSERT_TRUE(engine.waitFor("\nmavo: ", 3000, mark));
  EXPECT_LT(msSince(start), 1000);
  engine.send("quit\n");
  EXPECT_EQ(engine.waitExit(5000), 0);
  EXPECT_EQ(engine.output().find("readyok"), std::string::npos);
  EXPECT_EQ(engine.output().find("input correct ?: stop"), std::string::npos);
  EXPECT_EQ(engine.output().find("Mavo moves"), std::string::npos);
}

// The analysis line writes mate distances with two digits, the reply's
// line as they are; both count the mating side's moves (mated in one: 1).
TEST(ConsoleSearch, MateDistancesInAnalysisAndReply) {
  for (auto [fen, analysis] :
       {std::pair{"k7/8/2K5/8/8/8/8/7R w", "    +M02   "}, {"k7/8/1K6/8/8/8/8/7R b", "    -M01   "}}) {
    EngineProcess engine;
    engine.send(std::string("setboard ") + fen + " - - 0 1\nanalyze\n");
    EXPECT_TRUE(engine.waitFor(std::string(analysis), 5000)) << engine.output();
    engine.send("stop\nquit\n");
    EXPECT_EQ(engine.waitExit(5000), 0);
  }
  RunResult r = runEngine("setboard k7/8/8/1K6/8/8/8/7R w - - 0 1\nsd 3\nb5b6\n");
  const size_t reply = r.out.find("\n D. ");
  ASSERT_NE(reply, std::string::npos);
  EXPECT_NE(r.out.find("    -M1   ...  ka8-b8 Rh1-h8# \n", reply), std::string::npos) << r.out.substr(reply);
}

TEST(ConsoleSearch, TimeLimitedReplyTakesAboutItsTime) {
  EngineProcess engine;
  engine.send("st 1\n");
  ASSERT_TRUE(engine.waitFor("set search time per move to 1s\n", 5000));
  const auto start = std::chrono::steady_clock::now();
  engine.send("e2e4\n");
  ASSERT_TRUE(engine.waitFor("\nMavo moves: ", 10000));
  const int64_t ms = msSince(start);
  EXPECT_GE(ms, 990);
  EXPECT_LE(ms, 2000);
  engine.closeInput();
  EXPECT_EQ(engine.waitExit(5000), 0);
}

// "sd 4" runs iterations 1 to 3, each a line of depth, time, score and the
// best line (Black to move: "...  " first); the move played is the first
// move of the last line.
TEST(ConsoleSearch, DepthLimitedReplyPrintsItsIterations) {
  RunResult r = runEngine("sd 4\ne2e4\n");
  ASSERT_EQ(r.status, 0);
  const size_t header = r.out.find("\n D.   Time    Score  Best line\n");
  ASSERT_NE(header, std::string::npos);
  const std::regex line(R"([\r\n]  ([1-9])   0\.\d\d +-?\d+\.\d\d   \.\.\.  )"    // depth, time, score
                        R"([nbrqk]?([a-h][1-8])[-x]([a-h][1-8]) [^\n]*(?=\n))");  // first move, rest of line
  std::string depths, lastMove;
  for (std::sregex_iterator it(r.out.begin() + header, r.out.end(), line), end; it != end; ++it) {
    depths += (*it)[1].str();
    lastMove = (*it)[2].str() + (*it)[3].str();
  }
  EXPECT_EQ(depths, "123");
  EXPECT_NE(r.out.find("\nMavo moves: " + lastMove + "\n", header), std::string::npos) << r.out.substr(header);
}

}  // namespace
}  // namespace mavo::test
