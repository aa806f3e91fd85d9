// The line reader over a scripted raw read: each call hands out the next
// chunk; "" is end of input, "!" an error.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>

#include "platform/input_buffer.h"

namespace mavo::test {
namespace {

std::deque<std::string> chunks;

int scriptedRead(char* dst, int n) {
  if (chunks.empty()) return 0;
  const std::string c = chunks.front();
  chunks.pop_front();
  if (c == "!") return -1;
  const int k = std::min(n, static_cast<int>(c.size()));
  std::copy_n(c.data(), k, dst);
  return k;
}

using Reader = detail::InputBuffer<int (*)(char*, int)>;

std::unique_ptr<Reader> reader(std::deque<std::string> script) {
  chunks = std::move(script);
  return std::make_unique<Reader>(scriptedRead);  // 64 KiB: not on the stack
}

// A line as the command loop (read) or the search (poll) gets it.
std::string text(int n, const char* out) { return n < 0 ? "<end>" : std::string(out, n); }
std::string read(Reader& r) {
  char out[16];
  return text(r.readLine(out, sizeof out), out);
}
std::string poll(Reader& r, bool dataWaiting = true) {
  char out[16];
  return text(r.pollLine(out, sizeof out, dataWaiting), out);
}

TEST(InputBuffer, LinesAcrossReadsAndCrlf) {
  auto r = reader({"go\r\nst", "op\n", "!", "last"});
  EXPECT_EQ(read(*r), "go\n");
  EXPECT_EQ(read(*r), "stop\n");
  EXPECT_EQ(read(*r), "last");  // one error, then data: read on
  EXPECT_TRUE(r->ended());
  EXPECT_EQ(read(*r), "<end>");
}

// Input after the end is never read: the end ends the program.
TEST(InputBuffer, EndOfInputIsFinal) {
  auto r = reader({"a\n", "", "b\n"});
  EXPECT_EQ(read(*r), "a\n");
  EXPECT_FALSE(r->ended());
  EXPECT_EQ(read(*r), "<end>");
  EXPECT_TRUE(r->ended());
}

// During a search: nothing waits unless a whole line or a buffer's worth
// has come; a line longer than the buffer is handed out in parts.
TEST(InputBuffer, PollDuringASearch) {
  auto r = reader({"sto", "p\n0123456789abcdefghij"});
  EXPECT_EQ(poll(*r), "");
  EXPECT_EQ(poll(*r, false), "");
  EXPECT_EQ(poll(*r), "stop\n");
  EXPECT_EQ(poll(*r), "0123456789abcde");
  EXPECT_EQ(poll(*r, false), "");
}

// A line cut by the end of a full buffer moves to its front and is completed.
TEST(InputBuffer, FullBufferKeepsItsLastLine) {
  constexpr int kLines = ((1 << 16) - 16) / 8;
  std::string full;
  for (int i = 0; i < kLines; ++i) full += "isready\n";
  full += std::string(12, 'x') + "\nsto";  // exactly 64 KiB
  auto r = reader({full, "p\n"});
  for (int i = 0; i < kLines; ++i) ASSERT_EQ(poll(*r), "isready\n") << i;
  EXPECT_EQ(poll(*r), "xxxxxxxxxxxx\n");
  EXPECT_EQ(poll(*r), "stop\n");
}

}  // namespace
}  // namespace mavo::test
