#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "frontend/command_line.h"
#include "frontend/perft_commands.h"
#include "movegen/perft.h"
#include "platform/platform.h"
#include "position/fen.h"
#include "position/position.h"

namespace mavo {

namespace {

constexpr int kMaxDepth = 100;

// Both the console and the log get every result text.
template <typename... Args>
void report(std::FILE* log, const char* format, Args... args) {
  std::printf(format, args...);
  std::fprintf(log, format, args...);
}

bool blankLine(const char* line) {
  for (const char* p = line; *p; ++p)
    if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') return false;
  return true;
}

// Reads the ";D<depth> <count>" entries; returns the depth of the last one,
// 0 when the line has none. Only depths 1..9 are taken.
int parseDepthEntries(const char* line, int64_t* expected) {
  int lastDepth = 0;
  int len = static_cast<int>(strnlen(line, kConsoleLineCap));
  for (int i = 0; i + 1 < len; ++i) {
    if (line[i] != ';' || line[i + 1] != 'D') continue;
    if (i + 2 >= len) break;
    int d = line[i + 2] - '0';
    if (d < 1 || d > 9) continue;
    int64_t count = 0;
    int j = i + 4;
    while (j < len && line[j] >= '0' && line[j] <= '9' && count < INT64_MAX / 10 - 9)
      count = count * 10 + (line[j++] - '0');
    expected[d] = count;
    lastDepth = d;
    i = j - 1;
  }
  return lastDepth;
}

}  // namespace

void runTestSuite(Position& pos) {
  std::FILE* log = std::fopen("log_epd.txt", "w");
  if (!log) {
    std::printf("\nerror writing to file");
    return;
  }
  std::FILE* suite = std::fopen("perftsuite.epd", "r");
  if (!suite) {
    std::printf("\nerror opening file\n");
    std::fclose(log);
    return;
  }
  int positions = 0, passed = 0, failed = 0;
  char line[kConsoleLineCap];
  int64_t expected[kMaxDepth + 1];
  while (std::fgets(line, sizeof line, suite)) {
    if (blankLine(line)) continue;
    for (int64_t& e : expected) e = -100;
    Position candidate = pos;
    initPosition(candidate);
    FenStatus status = readFen(candidate, line);
    if (status != FenStatus::Ok) {
      size_t len = std::strcspn(line, "\r\n");
      report(log, "\n\nskipped (%s): %.*s", fenStatusText(status), static_cast<int>(len), line);
      continue;
    }
    pos = candidate;
    ++positions;
    char fen[96];
    writeFen(pos, fen);
    std::printf("\n\nfen: %s", fen);
    std::printf("%d", pos.fifty);
    std::fprintf(log, "\n\nfen: %s", line);

    int lastDepth = parseDepthEntries(line, expected);
    if (lastDepth < 2) continue;
    for (int d = 1; d <= lastDepth; ++d) {
      int64_t t0 = clockMs();
      bool ok;
      if (d == 1) {
        int n = static_cast<int>(perft(pos, 1));
        double seconds = static_cast<double>(clockMs() - t0) / 1000.0;
        ok = n == expected[1];
        report(log, "\nPerft (1): %d nodes", n);
        report(log, ", Time: %2.3f s", seconds);
        report(log, ", [%d]", static_cast<int>(expected[1]));
      } else {
        uint64_t found = perft(pos, d);
        double seconds = static_cast<double>(clockMs() - t0) / 1000.0;
        ok = found == static_cast<uint64_t>(expected[d]);
        report(log, "\nPerft (%d): %" PRIu64 " nodes", d, found);
        report(log, ", Time %2.3f s", seconds);
        report(log, ", [%" PRIu64 "]", static_cast<uint64_t>(expected[d]));
      }
      report(log, "%s", ok ? ", OK" : ", FALSE");
      ++(ok ? passed : failed);
    }
    std::fflush(log);
  }
  std::printf("\nlog written to log_epd.txt\n");
  std::printf("\nsummary:\n");
  std::printf("tested %d different position(s) and made %d perft call(s)\n", positions, passed);
  std::printf("%d position(s) failed\n", failed);
  std::fprintf(log, "\n\ntested %d different position(s) and made %d perft call(s)\n", positions, passed);
  std::fprintf(log, "%d position(s) failed", failed);
  if (std::fclose(suite) != 0) std::printf("\nerror while closing the file\n");
  if (std::fclose(log) != 0) std::printf("\nerror while closing the file\n");
}

}  // namespace mavo
