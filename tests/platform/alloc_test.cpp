// Nothing is allocated while the engine plays: a counting operator new
// around searches, perft and a whole UCI session.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "frontend/config.h"
#include "frontend/console_reports.h"
#include "frontend/perft_commands.h"
#include "frontend/uci.h"
#include "frontend/uci_reports.h"
#include "movegen/attack.h"
#include "position/fen.h"
#include "position/position.h"
#include "search/driver.h"
#include "search/search.h"
#include "support/startup.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t n) {
  ++allocations;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// Not inlined: the compiler would see free() meet a pointer from new.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace mavo {
namespace {

// Allocations made by `body`, run with standard output to /dev/null and a
// pipe holding `input` (kept open, so no end of input) as standard input.
template <typename Body>
long allocationsDuring(const std::string& input, Body body) {
  std::fflush(stdout);
  int savedOut = ::dup(1), savedIn = ::dup(0), pipeFds[2];
  if (::pipe(pipeFds) != 0 || ::write(pipeFds[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
    return -1;
  ::dup2(pipeFds[0], 0);
  int devNull = ::open("/dev/null", O_WRONLY);
  ::dup2(devNull, 1);
  long before = allocations;
  body();
  long made = allocations - before;
  std::fflush(stdout);
  ::dup2(savedOut, 1), ::dup2(savedIn, 0);
  for (int fd : {savedOut, savedIn, pipeFds[0], pipeFds[1], devNull}) ::close(fd);
  return made;
}

TEST(Allocation, NoneWhilePlaying) {
  test::buildStartUpTables();
  resetSettings();
  Position pos;
  initPosition(pos);
  readFen(pos, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  EXPECT_EQ(allocationsDuring("", [&] { perftCommand(pos, 3); }), 0);

  searchHooks.progress = printConsoleProgress;
  searchLimits.depthLimit = 5;
  searchLimits.searchTimeLimit = 10000;
  Move reply;
  EXPECT_EQ(allocationsDuring("", [&] { runConsoleReply(pos, printReplyLine, reply); }), 0);

  searchHooks.progress = sendCurrMove;
  GoValues go;
  go.moveTime = 50;
  setGoLimits(go, pos.color);
  Iterations run;
  EXPECT_EQ(allocationsDuring("", [&] { runUciSearch(pos, sendInfoLine, reply, run); }), 0);

  // The search stops on "stop"; the loop then serves the rest and quits.
  const std::string session =
      "position startpos moves e2e4 e7e5\ngo wtime 3000 btime 3000\nstop\nposition fen 8/8/8/8/8/8/8/K6k w - - 0 1\n"
      "go infinite\nstop\nshow\ndraw\nstack\nucinewgame\nposition startpos\ngo depth 3 searchmoves e2e4 d2d4\n"
      "go nodes 3000\ngo perft 2\nquit\n";
  EXPECT_EQ(allocationsDuring(session, [] { uciLoop(); }), 0);
}

}  // namespace
}  // namespace mavo
