// Small readers shared by the command loops.
#pragma once

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace mavo {

// Room for a line: the console's (and the files it reads: configuration,
// test suite) 249 characters and the terminator; a UCI line holds a
// position with a whole game of the move stack's size.
inline constexpr int kConsoleLineCap = 250;
inline constexpr int kUciLineCap = 1 << 16;

// The first run of characters without white space, after leading white
// space; copies at most cap - 1 of its characters. Returns a pointer to the
// word's first character in the line.
inline const char* firstWord(const char* line, char* word, size_t cap) {
  while (*line && std::isspace(static_cast<unsigned char>(*line))) ++line;
  size_t n = 0;
  while (line[n] && !std::isspace(static_cast<unsigned char>(line[n]))) {
    if (n + 1 < cap) word[n] = line[n];
    ++n;
  }
  word[n + 1 < cap ? n : cap - 1] = '\0';
  return line;
}

// The decimal integer after the line's first word, as "%*s %d" reads it
// (optional sign, then digits; saturated at the int range). Returns false
// when no number follows the word.
inline bool readArgument(const char* line, int* value) {
  while (*line && std::isspace(static_cast<unsigned char>(*line))) ++line;
  while (*line && !std::isspace(static_cast<unsigned char>(*line))) ++line;
  while (*line && std::isspace(static_cast<unsigned char>(*line))) ++line;
  const char* p = line;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  long long v = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    if (v < INT_MAX) v = v * 10 + (*p - '0');
    ++p;
  }
  if (v > INT_MAX) v = INT_MAX;
  *value = static_cast<int>(negative ? -v : v);
  return true;
}

}  // namespace mavo
