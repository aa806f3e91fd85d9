// A text file read line by line by the same reader as standard input, so
// that a file written on Windows reads as the same lines everywhere.
#include <cstdio>
#include <optional>

#include "platform/input_buffer.h"
#include "platform/platform.h"

namespace mavo {

namespace {

std::FILE* source = nullptr;

int fileRead(char* dst, int n) {
  const size_t got = std::fread(dst, 1, static_cast<size_t>(n), source);
  if (got > 0) return static_cast<int>(got);
  return std::ferror(source) ? -1 : 0;
}

// In static storage: a reader holds a 64 KiB buffer.
std::optional<detail::InputBuffer<int (*)(char*, int)>> fileLines;

}  // namespace

void startFileLines(std::FILE* file) {
  source = file;
  fileLines.emplace(fileRead);
}

int readFileLine(char* buf, int cap) { return fileLines ? fileLines->readLine(buf, cap) : -1; }

}  // namespace mavo
