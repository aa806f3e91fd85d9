// The line reader shared by the POSIX and Windows variants: lines are cut
// from the engine's own buffer, so a line is never hidden in a stdio buffer
// where the input poll cannot see it.
//
// A search looks at the lines that arrive while it runs (peekLine) and
// either takes one (a stop, an answered "isready") or sets it aside for the
// command loop, which reads the set-aside lines first, in the order they
// came. Setting a line aside only moves a mark: the bytes stay where they
// arrived.
#pragma once

#include <cstring>

namespace mavo::detail {

// `rawRead` fills up to n bytes and returns the count, 0 at end of input or
// -1 on an error; errors that keep coming count as end of input.
template <typename RawRead>
class InputBuffer {
 public:
  // What peekLine found.
  static constexpr int kNoLine = 0;
  static constexpr int kLine = 1;
  static constexpr int kEnded = -1;
  static constexpr int kFullOfSetAside = -2;  // the loop must read before more can come

  explicit InputBuffer(RawRead rawRead) : rawRead_(rawRead) {}

  bool buffered() const { return head_ < tail_; }
  bool ended() const { return ended_ && head_ == tail_; }
  // Input the search has not looked at yet.
  bool unseen() const { return held_ < tail_; }
  // Whether the line readLine returned last had been set aside by a search.
  bool lastReadWasSetAside() const { return lastSetAside_; }

  // The next line after the set-aside ones, without its line end: kLine
  // when a whole line has come (or, at the end of input or in a full
  // buffer, what there is of one). `dataWaiting` says whether a raw read
  // would return at once. The text stays valid until the next call.
  int peekLine(const char** text, int* length, bool dataWaiting) {
    if (!unseenLine() && !ended_ && dataWaiting && hasRoom()) fill();
    const char* start = buf_ + held_;
    const char* nl = static_cast<const char*>(std::memchr(start, '\n', tail_ - held_));
    if (nl) {
      peekEnd_ = static_cast<int>(nl - buf_) + 1;
      int n = static_cast<int>(nl - start);
      if (n > 0 && start[n - 1] == '\r') --n;
      *text = start, *length = n;
      return kLine;
    }
    if (!ended_ && !hasRoom() && held_ > head_) return kFullOfSetAside;
    if (held_ < tail_ && (ended_ || !hasRoom())) {
      peekEnd_ = tail_;
      *text = start, *length = tail_ - held_;
      return kLine;
    }
    return ended_ ? kEnded : kNoLine;
  }
  // The peeked line was the search's: it is gone.
  void takePeeked() {
    const int n = peekEnd_ - held_;
    std::memmove(buf_ + head_ + n, buf_ + head_, held_ - head_);
    head_ += n;
    held_ = peekEnd_;
  }
  // The peeked line waits for readLine.
  void setPeekedAside() { held_ = peekEnd_; }

  int readLine(char* out, int cap) {
    lastSetAside_ = head_ < held_;
    int len = 0;
    while (len < cap - 1) {
      if (head_ == tail_ && !fill()) break;
      char c = buf_[head_++];
      // A carriage return before a newline, or at the very end, is dropped.
      if (c == '\r') {
        if (head_ == tail_) fill();
        if (head_ < tail_ ? buf_[head_] == '\n' : ended_) continue;
      }
      out[len++] = c;
      if (c == '\n') break;
    }
    if (held_ < head_) held_ = head_;
    out[len] = '\0';
    if (len == 0 && ended_) return -1;
    return len;
  }

 private:
  bool unseenLine() const { return std::memchr(buf_ + held_, '\n', tail_ - held_) != nullptr; }
  bool hasRoom() const { return tail_ - head_ < kSize; }

  bool fill() {
    if (ended_) return false;
    if (head_ == tail_) head_ = tail_ = held_ = 0;
    if (tail_ == kSize) {
      std::memmove(buf_, buf_ + head_, tail_ - head_);
      tail_ -= head_;
      held_ -= head_;
      head_ = 0;
    }
    for (int failures = 0; failures < 100; ++failures) {
      int n = rawRead_(buf_ + tail_, kSize - tail_);
      if (n > 0) {
        tail_ += n;
        return true;
      }
      if (n == 0) break;
    }
    ended_ = true;
    return false;
  }

  static constexpr int kSize = 1 << 16;
  RawRead rawRead_;
  char buf_[kSize];
  int head_ = 0;  // the next byte readLine hands out
  int held_ = 0;  // [head_, held_): lines a search has set aside
  int tail_ = 0;
  int peekEnd_ = 0;
  bool ended_ = false;
  bool lastSetAside_ = false;
};

}  // namespace mavo::detail
