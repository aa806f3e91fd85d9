// An engine already switched to UCI mode, and readers of what it sends.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/engine_process.h"

namespace mavo::test {

using Clock = std::chrono::steady_clock;
inline constexpr int64_t kNever = 1 << 30;

inline int64_t msSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

struct Uci {
  EngineProcess engine;
  explicit Uci(const std::string& workDir = "") : engine(workDir) {
    engine.send("uci\n");
    EXPECT_TRUE(engine.waitFor("uciok\n", 5000));
  }
  size_t mark() const { return engine.output().size(); }
  // Sends `text` and waits for `needle` in what follows; returns the time
  // it took (kNever when it did not come).
  int64_t timed(const std::string& text, const std::string& needle, int timeoutMs = 5000) {
    size_t from = mark();
    auto t = Clock::now();
    engine.send(text);
    return engine.waitFor(needle, timeoutMs, from) ? msSince(t) : kNever;
  }
  // Sends `text` and returns everything up to and including the bestmove
  // line that answers it ("" when none came).
  std::string search(const std::string& text, int timeoutMs = 20000) {
    size_t from = mark();
    engine.send(text);
    if (!engine.waitFor("bestmove ", timeoutMs, from)) return "";
    size_t at = engine.output().find("bestmove ", from);
    if (!engine.waitFor("\n", 2000, at)) return "";
    return engine.output().substr(from, engine.output().find('\n', at) + 1 - from);
  }
  std::string since(size_t from) const { return engine.output().substr(from); }
};

// The bestmove that follows `from`, "" when none came.
inline std::string bestMove(const std::string& out, size_t from = 0) {
  std::smatch m;
  std::string tail = out.substr(from);
  return std::regex_search(tail, m, std::regex("bestmove (\\S+)\n")) ? m[1].str() : "";
}

// The info lines of completed iterations, without the time and the node
// rate (the only fields that differ between two runs of the same search).
inline std::vector<std::string> iterationLines(const std::string& out) {
  static const std::regex timing(" nps \\d+| time \\d+");
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("info depth ", 0) == 0 && line.find(" pv ") != std::string::npos)
      lines.push_back(std::regex_replace(line, timing, ""));
  return lines;
}

// The depth of the last completed iteration, 0 when none.
inline int lastDepth(const std::string& out) {
  const std::vector<std::string> lines = iterationLines(out);
  return lines.empty() ? 0 : std::stoi(lines.back().substr(11));
}

}  // namespace mavo::test
