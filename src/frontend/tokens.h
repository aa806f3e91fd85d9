// The words of a protocol line: runs of characters between blanks, tabs and
// line ends, however many of those stand between two words.
#pragma once

#include <cstdint>
#include <string_view>

namespace mavo {

class Tokens {
 public:
  explicit Tokens(std::string_view line) : rest_(line) {}

  // The next word, or false at the line's end.
  bool next(std::string_view& word) {
    word = peek();
    if (word.empty()) return false;
    rest_.remove_prefix(static_cast<size_t>(word.data() - rest_.data()) + word.size());
    return true;
  }
  // The next word without taking it ("" at the line's end).
  std::string_view peek() const {
    const size_t start = rest_.find_first_not_of(kSeparators);
    if (start == std::string_view::npos) return {};
    const std::string_view from = rest_.substr(start);
    return from.substr(0, from.find_first_of(kSeparators));
  }
  // What is left of the line after the words taken.
  std::string_view rest() const { return rest_; }

 private:
  static constexpr std::string_view kSeparators = " \t\r\n";
  std::string_view rest_;
};

// Whether a word is a number: a digit, or a sign before one, first.
inline bool isNumberWord(std::string_view word) {
  if (!word.empty() && (word[0] == '-' || word[0] == '+')) word.remove_prefix(1);
  return !word.empty() && word[0] >= '0' && word[0] <= '9';
}

// The digits a word begins with, held at `cap`; a negative number (a clock
// that has run out) is 0.
inline uint64_t wordNumber(std::string_view word, uint64_t cap) {
  if (!word.empty() && word[0] == '-') return 0;
  if (!word.empty() && word[0] == '+') word.remove_prefix(1);
  uint64_t v = 0;
  for (char c : word) {
    if (c < '0' || c > '9') break;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    v = v > (cap - digit) / 10 ? cap : v * 10 + digit;
  }
  return v;
}

}  // namespace mavo
