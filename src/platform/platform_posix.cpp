#ifndef _WIN32

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/input_buffer.h"
#include "platform/platform.h"

namespace mavo {

namespace {

// Standard output is line-buffered: a line reaches it in one write the
// moment it ends. A started line (a prompt) goes out before the engine waits
// for input.
char outputBuffer[1 << 16];

int rawRead(char* dst, int n) {
  std::fflush(stdout);
  for (;;) {
    ssize_t r = ::read(0, dst, static_cast<size_t>(n));
    if (r >= 0) return static_cast<int>(r);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      // A non-blocking descriptor inherited from the parent: wait for data.
      pollfd p{0, POLLIN, 0};
      if (::poll(&p, 1, -1) >= 0 || errno == EINTR) continue;
    }
    return -1;
  }
}

detail::InputBuffer<int (*)(char*, int)> input(rawRead);

}  // namespace

void platformInit() {
  std::signal(SIGPIPE, SIG_IGN);
  std::setvbuf(stdout, outputBuffer, _IOLBF, sizeof outputBuffer);
  std::setvbuf(stdin, nullptr, _IONBF, 0);
}

int inputAvailable() {
  if (input.unseen() || input.ended()) return 1;
  pollfd p{0, POLLIN, 0};
  int r = ::poll(&p, 1, 0);
  return r > 0 ? 1 : 0;
}

int readLine(char* buf, int cap) { return input.readLine(buf, cap); }

bool lastLineWasSetAside() { return input.lastReadWasSetAside(); }

int peekLine(const char** text, int* length) {
  pollfd p{0, POLLIN, 0};
  return input.peekLine(text, length, ::poll(&p, 1, 0) > 0);
}
void takePeekedLine() { input.takePeeked(); }
void setPeekedLineAside() { input.setPeekedAside(); }

bool outputClosed() {
  pollfd p{1, 0, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

void clearConsole() {
  if (::isatty(1)) std::fputs("\033[H\033[2J", stdout);
}

}  // namespace mavo

#endif
