// The line reader shared by the POSIX and Windows variants: lines are cut
// from the engine's own buffer, so a line is never hidden in a stdio buffer
// where the input poll cannot see it.
#pragma once

#include <cstring>

namespace mavo::detail {

// `rawRead` fills up to n bytes and returns the count, 0 at end of input or
// -1 on an error; errors that keep coming count as end of input.
template <typename RawRead>
class InputBuffer {
 public:
  explicit InputBuffer(RawRead rawRead) : rawRead_(rawRead) {}

  bool buffered() const { return head_ < tail_; }
  bool ended() const { return ended_ && head_ == tail_; }
  bool lineBuffered() const { return std::memchr(buf_ + head_, '\n', tail_ - head_) != nullptr; }

  // `dataWaiting` says whether a raw read would return at once.
  int pollLine(char* out, int cap, bool dataWaiting) {
    if (!lineBuffered() && !ended_ && tail_ - head_ < cap - 1 && dataWaiting) fill();
    if (lineBuffered() || ended_ || tail_ - head_ >= cap - 1) return readLine(out, cap, false);
    return 0;
  }

  int readLine(char* out, int cap, bool mayBlock = true) {
    int len = 0;
    while (len < cap - 1) {
      if (head_ == tail_ && (!mayBlock || !fill())) break;
      char c = buf_[head_++];
      if (c == '\r') {
        if (head_ == tail_ && mayBlock) fill();
        if (head_ < tail_ && buf_[head_] == '\n') continue;
      }
      out[len++] = c;
      if (c == '\n') break;
    }
    out[len] = '\0';
    if (len == 0 && ended_) return -1;
    return len;
  }

 private:
  bool fill() {
    if (ended_) return false;
    if (head_ == tail_) head_ = tail_ = 0;
    if (tail_ == kSize) {
      std::memmove(buf_, buf_ + head_, tail_ - head_);
      tail_ -= head_;
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
  int head_ = 0;
  int tail_ = 0;
  bool ended_ = false;
};

}  // namespace mavo::detail
