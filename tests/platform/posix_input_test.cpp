// Standard input on POSIX systems: a descriptor left non-blocking by the
// parent, a terminal whose Ctrl-D leaves poll nothing to see. The reader is
// the process's own; CTest runs each test in a process of its own.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/platform.h"

namespace mavo::test {
namespace {

// Puts fd on standard input for the test's lifetime (fd may be 0 already
// when the test itself was started without a standard input).
struct StdinFrom {
  explicit StdinFrom(int fd) : saved(::dup(0)) {
    if (fd != 0) ::dup2(fd, 0), ::close(fd);
  }
  ~StdinFrom() { ::dup2(saved, 0), ::close(saved); }  // with no saved one, fd 0 stays open
  int saved;
};

std::string line() {
  char buf[64];
  const int n = readLine(buf, sizeof buf);
  return n < 0 ? "<end>" : std::string(buf, n);
}

TEST(PosixInput, NonBlockingStdinWaitsForTheLineInsteadOfEndingTheInput) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  StdinFrom in(fds[0]);
  std::thread writer([w = fds[1]] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(::write(w, "isready\n", 8), 8);
    ::close(w);
  });
  EXPECT_EQ(line(), "isready\n");
  EXPECT_EQ(line(), "<end>");
  writer.join();
}

TEST(PosixInput, EndOfInputAtATerminalCountsAsInputWaiting) {
  // A chroot or a container without /dev/pts has no terminals to offer.
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) GTEST_SKIP() << "no pseudo-terminal can be opened here: " << std::strerror(errno);
  const int slave =
      ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::open(::ptsname(master), O_RDWR | O_NOCTTY) : -1;
  if (slave < 0) {
    const int error = errno;
    ::close(master);
    GTEST_SKIP() << "no pseudo-terminal can be opened here: " << std::strerror(error);
  }
  {
    StdinFrom in(slave);
    ASSERT_EQ(::write(master, "\x04", 1), 1);  // Ctrl-D on an empty line
    EXPECT_EQ(line(), "<end>");
    // The search asks whether to look at its input: it must, to end.
    EXPECT_EQ(inputAvailable(), 1);
  }
  ::close(master);
}

}  // namespace
}  // namespace mavo::test
#endif
