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

// A line as the command loop reads it.
std::string text(int n, const char* out) { return n < 0 ? "<end>" : std::string(out, n); }
std::string read(Reader& r) {
  char out[16];
  return text(r.readLine(out, sizeof out), out);
}
// What the search sees next: the line, or what stands in its place.
std::string peek(Reader& r, bool dataWaiting = true) {
  const char* t;
  int n;
  switch (r.peekLine(&t, &n, dataWaiting)) {
    case Reader::kLine: return std::string(t, n);
    case Reader::kEnded: return "<end>";
    case Reader::kFullOfSetAside: return "<full>";
    default: return "<none>";
  }
}

TEST(InputBuffer, LinesAcrossReadsAndCrlf) {
  auto r = reader({"go\r\nst", "op\n", "!", "la\rst\r"});
  EXPECT_EQ(read(*r), "go\n");
  EXPECT_EQ(read(*r), "stop\n");
  EXPECT_EQ(read(*r), "la\rst");  // one error, then data: read on; a carriage return at the end goes too
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

// During a search: a line is seen once it is whole, without its line end;
// what the search takes is gone, what it sets aside the loop reads first,
// in the order the lines came, and only once.
TEST(InputBuffer, SearchTakesOrSetsAsideInOrder) {
  auto r = reader({"ucinew", "game\r\nisready\nposition startpos\nsto", "p\ngo"});
  EXPECT_EQ(peek(*r), "<none>");
  EXPECT_EQ(peek(*r, false), "<none>");
  EXPECT_EQ(peek(*r), "ucinewgame");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r), "isready");
  r->takePeeked();
  EXPECT_EQ(peek(*r), "position startpos");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r, false), "<none>");  // "sto" is not a line yet
  EXPECT_EQ(peek(*r), "stop");
  r->takePeeked();
  EXPECT_EQ(peek(*r, false), "<none>");
  EXPECT_EQ(read(*r), "ucinewgame\n");
  EXPECT_TRUE(r->lastReadWasSetAside());
  EXPECT_EQ(read(*r), "position startp");  // the loop's pieces
  EXPECT_EQ(read(*r), "os\n");
  EXPECT_TRUE(r->lastReadWasSetAside());
  EXPECT_EQ(read(*r), "go");
  EXPECT_FALSE(r->lastReadWasSetAside());
  EXPECT_EQ(read(*r), "<end>");
}

// A last line without its line end counts once the input has ended; then
// the search sees the end, while what it set aside is still read.
TEST(InputBuffer, EndOfInputDuringASearch) {
  auto r = reader({"quit\ngo depth 3", ""});
  EXPECT_EQ(peek(*r), "quit");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r, false), "<none>");
  EXPECT_EQ(peek(*r), "go depth 3");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r), "<end>");
  EXPECT_EQ(read(*r), "quit\n");
  EXPECT_EQ(read(*r), "go depth 3");
  EXPECT_EQ(read(*r), "<end>");
}

// A full buffer moves its unread lines to the front, set-aside marks with
// them; when set-aside lines fill it all, only the loop can make room, and
// a line longer than the buffer is seen in buffer-sized parts.
TEST(InputBuffer, FullBuffer) {
  constexpr int kSize = 1 << 16;
  constexpr int kLines = (kSize - 16) / 8;
  std::string full;
  for (int i = 0; i < kLines; ++i) full += "isready\n";
  full += std::string(12, 'x') + "\nsto";  // exactly 64 KiB
  auto r = reader({full, "p\n"});
  for (int i = 0; i < kLines; ++i) {
    ASSERT_EQ(peek(*r), "isready") << i;
    r->takePeeked();
  }
  EXPECT_EQ(peek(*r), "xxxxxxxxxxxx");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r), "stop");
  r->setPeekedAside();
  EXPECT_EQ(read(*r), "xxxxxxxxxxxx\n");
  EXPECT_EQ(read(*r), "stop\n");

  r = reader({"go\n" + std::string(kSize - 3, 'y'), "z\n"});
  EXPECT_EQ(peek(*r), "go");
  r->setPeekedAside();
  EXPECT_EQ(peek(*r), "<full>");
  EXPECT_EQ(read(*r), "go\n");
  EXPECT_EQ(peek(*r), std::string(kSize - 3, 'y') + "z");

  r = reader({std::string(kSize, 'y'), "\n"});
  EXPECT_EQ(peek(*r), std::string(kSize, 'y'));  // a part: no room for more
  r->takePeeked();
  EXPECT_EQ(peek(*r), "");
  r->takePeeked();
  EXPECT_EQ(peek(*r), "<end>");
}

}  // namespace
}  // namespace mavo::test
