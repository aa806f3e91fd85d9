// The platform layer of the fuzz targets, in place of the POSIX one.
// Standard input is the fuzz input, cut into the engine's own line buffer in
// uneven chunks; while it lasts a read never blocks, as with a fast pipe.
// The clock counts its calls, so a run is repeatable, and a search that has
// polled its input more than kPollBudget times reads a "stop" line, as if a
// GUI had sent one; the console's replies search at most three plies deep.
#include "fuzz_platform.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/input_buffer.h"
#include "platform/platform.h"
#include "search/search.h"

namespace mavo {
namespace {

const uint8_t* input;
size_t inputSize, inputRead;
int64_t now;
int polls;  // input polls since the command loop last read a line
constexpr int kPollBudget = 2;

int rawRead(char* dst, int n) {
  size_t chunk = std::min<size_t>({static_cast<size_t>(n), inputSize - inputRead, 1 + inputRead % 97});
  if (chunk > 0) std::memcpy(dst, input + inputRead, chunk);
  inputRead += chunk;
  return static_cast<int>(chunk);
}

std::optional<detail::InputBuffer<int (*)(char*, int)>> stdinBuffer;
std::string workDir;

}  // namespace

void fuzz::setUp() {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  static char outBuf[1 << 16];
  std::setvbuf(stdout, outBuf, _IOFBF, sizeof outBuf);
  char dir[] = "/tmp/mavo-fuzz-XXXXXX";
  if (!::mkdtemp(dir) || ::chdir(dir) != 0) std::abort();
  workDir = dir;
  std::atexit([] { std::filesystem::remove_all(workDir); });
}

void fuzz::setInput(const uint8_t* data, size_t size) {
  input = data, inputSize = size, inputRead = 0;
  now = 0, polls = 0;
  stdinBuffer.emplace(rawRead);
}

void platformInit() {}
int64_t clockMs() { return ++now; }
int inputAvailable() {
  return ++polls > kPollBudget || stdinBuffer->unseen() || stdinBuffer->ended() || inputRead < inputSize;
}
int readLine(char* buf, int cap) {
  polls = 0;
  searchLimits.depthLimit = std::min(searchLimits.depthLimit, 4);
  return stdinBuffer->readLine(buf, cap);
}
bool lastLineWasSetAside() { return stdinBuffer->lastReadWasSetAside(); }
bool fakeStop = false;  // the line peekLine handed out last is the made-up stop
int peekLine(const char** text, int* length) {
  fakeStop = polls > kPollBudget;
  if (!fakeStop) return stdinBuffer->peekLine(text, length, inputRead < inputSize);
  *text = "stop", *length = 4;
  return 1;
}
void takePeekedLine() {
  if (!fakeStop) stdinBuffer->takePeeked();
}
void setPeekedLineAside() {
  if (!fakeStop) stdinBuffer->setPeekedAside();
}
bool outputClosed() { return false; }
void clearConsole() {}

}  // namespace mavo
