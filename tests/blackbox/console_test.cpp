// Console behaviour that fixed transcripts cannot pin down: a whole data
// file through the real binary, how the program ends, and time limits.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "support/engine_process.h"

namespace mavo::test {
namespace {

size_t occurrences(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Every count of the shipped suite (made by an independent program) is
// found again, and the summary counts each position and each depth entry.
TEST(ConsoleTestSuite, ShippedSuitePassesThroughTheBinary) {
  const std::string suite = readFile(MAVO_DATA_DIR "/perftsuite.epd");
  ASSERT_FALSE(suite.empty());
  const size_t positions = occurrences(suite, "\n");
  const size_t entries = occurrences(suite, ";D");
  ASSERT_EQ(positions, 41u);

  TempDir dir;
  dir.write("perftsuite.epd", suite);
  RunResult r = runEngine("testmovegen\nquit\n", dir.path(), 300000);
  EXPECT_EQ(r.status, 0);
  const std::string summary = "tested " + std::to_string(positions) + " different position(s) and made " +
                              std::to_string(entries) + " perft call(s)\n";
  EXPECT_NE(r.out.find("\nsummary:\n" + summary + "0 position(s) failed\n"), std::string::npos) << r.out;
  EXPECT_EQ(occurrences(r.out, ", OK"), entries);
  EXPECT_EQ(occurrences(r.out, ", FALSE"), 0u);
  EXPECT_EQ(occurrences(r.out, "\n\nfen: "), positions);

  const std::string log = dir.read("log_epd.txt");
  EXPECT_TRUE(endsWith(log, "\n\n" + summary + "0 position(s) failed")) << log;
  EXPECT_EQ(occurrences(log, ", OK"), entries);
  // The log repeats each suite line exactly as read.
  std::istringstream lines(suite);
  for (std::string line; std::getline(lines, line);)
    EXPECT_NE(log.find("\n\nfen: " + line + "\n"), std::string::npos) << line;
}

// Standard output leaves a line at a time without waiting for a flush: a
// long run that neither reads input nor prints progress (the test suite's
// counts) shows each finished line while the next count still runs. The
// depth-4 line ends with the depth-5 count, before perft 6 of the start
// position, about half a second here (far longer under the sanitizers).
TEST(ConsoleTestSuite, FinishedLinesLeaveWhileTheNextCountRuns) {
  TempDir dir;
  dir.write("perftsuite.epd",
            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 ;D1 20 ;D2 400 ;D3 8902 ;D4 197281 "
            ";D5 4865609 ;D6 119060324\n");
  EngineProcess engine(dir.path());
  engine.send("testmovegen\n");
  ASSERT_TRUE(engine.waitFor("[197281], OK\n", 20000)) << engine.output();
  EXPECT_EQ(engine.output().find("Perft (6)"), std::string::npos) << "the lines came only with the end of the run";
}

// The end of input ends the program at once with status 0, whatever it
// was doing; a search with a limit still gives its full answer first.
TEST(ConsoleEndOfInput, EndsWithStatusZero) {
  struct Case {
    const char* input;
    const char* mustContain;
  } cases[] = {
      {"", ""},
      {"fen", "\nfen: rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\n"},  // last line without newline
      {"new\n\n   \n", ""},
      {"sd 3\ne2e4\n", "\nMavo moves: "},
      {"sd 3\ne2e4", "\nMavo moves: "},
      {"analyze\n", "\n D.   Time    Score  Best line\n"},  // no limit: the end of input stops it
      {"analyze", "\n D.   Time    Score  Best line\n"},
      {"st 1\ne2e4\n", "\nMavo moves: "},
      {"perft 3\n", "\nPerft (3): 8902, Time: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    auto t0 = std::chrono::steady_clock::now();
    RunResult r = runEngine(c.input, "", 30000);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(r.status, 0);
    EXPECT_LT(seconds, 20.0);
    EXPECT_EQ(r.out.compare(0, kConsoleStart.size(), kConsoleStart), 0);
    EXPECT_NE(r.out.find(c.mustContain), std::string::npos) << r.out;
    EXPECT_TRUE(endsWith(r.out, "\nmavo: ")) << r.out;
  }
}

}  // namespace
}  // namespace mavo::test
