// Hostile input through the real binary: whatever arrives, the engine goes
// on answering, or ends with status 0 within a bounded time; never by a
// signal. The exact texts of bad lines are golden cases (cases/hostile).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/engine_process.h"

namespace mavo::test {
namespace {

// Sends a large input in pieces, reading the answers meanwhile, so that
// neither side blocks on a full pipe.
void sendInPieces(EngineProcess& engine, const std::string& text) {
  for (size_t at = 0; at < text.size(); at += 8192) {
    engine.send(text.substr(at, 8192));
    engine.drain(2);
  }
}

TEST(HostileInput, GarbageBytesAndLongLinesLeaveTheEngineAnswering) {
  std::string junk;
  for (uint32_t x = 1; junk.size() < 20000;) {
    x = x * 1103515245u + 12345u;
    junk += static_cast<char>(x >> 16);
  }
  const std::string line(100000, 'a');
  struct Mode {
    const char *start, *probe, *answer;
  } modes[] = {{"", "new\nfen\n", "\nfen: rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\n"},
               {"uci\n", "isready\n", "readyok\n"}};
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.start);
    EngineProcess engine;
    sendInPieces(engine, m.start + junk + "\n" + line + "\n" + line + "\r\n" + std::string(5000, '\0') + "\n");
    size_t mark = engine.output().size();
    engine.send(m.probe);
    EXPECT_TRUE(engine.waitFor(m.answer, 20000, mark));
    engine.closeInput();
    EXPECT_EQ(engine.waitExit(5000), 0);
  }
}

// Clock values no GUI should send: each "go" still ends in a bestmove.
TEST(HostileInput, GoWithNegativeOrNonNumericValuesAnswers) {
  EngineProcess engine;
  engine.send("uci\nposition startpos\n");
  for (const char* go :
       {"go wtime -5 btime -5", "go wtime abc btime x1 winc -", "go movetime -100", "go movetime",
        "go winc -1 binc -1 wtime 10x0 btime 1-0", "go wtime 99999999999999999999 btime 1 movetime 50"}) {
    SCOPED_TRACE(go);
    size_t mark = engine.output().size();
    engine.send(std::string(go) + "\n");
    EXPECT_TRUE(engine.waitFor("bestmove ", 5000, mark));
  }
  engine.send("isready\n");
  EXPECT_TRUE(engine.waitFor("readyok\n", 5000));
  engine.closeInput();
  EXPECT_EQ(engine.waitExit(5000), 0);
}

// Nobody reads the answers any more: a search stops, and the engine ends
// once it finds its output closed instead of thinking for no one.
TEST(HostileInput, ClosedOutputEndsTheEngine) {
  for (const char* session : {"", "uci\n", "uci\nposition startpos\ngo infinite\n", "analyze\n", "sd 60\ne2e4\n"}) {
    SCOPED_TRACE(session);
    EngineProcess engine;
    engine.send(session);
    engine.drain(300);
    engine.closeOutput();
    engine.send("isready\n");
    EXPECT_EQ(engine.waitExit(5000), 0);
  }
}

// The engine's process: our child running the engine binary.
int enginePid() {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    int parent = 0;
    if (stat >> pid >> comm >> state >> parent && parent == ::getpid() && comm == "(mavo)") return std::stoi(pid);
  }
  return -1;
}

// A value in kB from /proc/<pid>/status ("VmRSS", "VmHWM").
long statusKb(int pid, const std::string& key) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  return -1;
}

long openFiles(int pid) {
  auto fds = std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd");
  return std::distance(begin(fds), end(fds));
}

// A thousand games set up and searched: no descriptor or memory growth, and
// a small peak. Memory is not judged under the sanitizers, whose shadow
// memory and quarantine grow on their own.
TEST(EngineResources, NoGrowthOverAThousandSearches) {
  if (std::getenv("MAVO_ENGINE")) {
    GTEST_SKIP() << "reads the engine's /proc entries: Linux binary only";
  }
  EngineProcess engine;
  engine.send("uci\n");
  ASSERT_TRUE(engine.waitFor("uciok\n", 5000));
  const int pid = enginePid();
  ASSERT_GT(pid, 0);
  std::stringstream maps;
  maps << std::ifstream("/proc/" + std::to_string(pid) + "/maps").rdbuf();
  const bool sanitized = maps.str().find("libasan") != std::string::npos;
  long fds = 0, rss = 0;
  for (int cycle = 1; cycle <= 1000; ++cycle) {
    size_t mark = engine.output().size();
    engine.send(cycle % 2 ? "position startpos moves e2e4 e7e5\ngo movetime 1\n"
                          : "position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1\ngo wtime 60 btime 60\n");
    ASSERT_TRUE(engine.waitFor("bestmove ", 5000, mark)) << cycle;
    if (cycle == 100) fds = openFiles(pid), rss = statusKb(pid, "VmRSS");
  }
  EXPECT_EQ(openFiles(pid), fds);
  if (!sanitized) {
    EXPECT_LE(statusKb(pid, "VmRSS"), rss + 64);
    EXPECT_LT(statusKb(pid, "VmHWM"), 8 * 1024);
  }
  engine.closeInput();
  EXPECT_EQ(engine.waitExit(5000), 0);
}

}  // namespace
}  // namespace mavo::test
