#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/input_buffer.h"
#include "platform/platform.h"

// The C library's writers (__real_) and their wrappers (__wrap_), which the
// linker puts in their place (see the end of the file).
extern "C" {
int __real_fputc(int c, std::FILE* f);
int __real_putc(int c, std::FILE* f);
int __real_putchar(int c);
int __real_fputs(const char* s, std::FILE* f);
int __real_puts(const char* s);
size_t __real_fwrite(const void* data, size_t size, size_t count, std::FILE* f);
int __wrap_fputc(int c, std::FILE* f);
int __wrap_putc(int c, std::FILE* f);
int __wrap_putchar(int c);
int __wrap_fputs(const char* s, std::FILE* f);
int __wrap_puts(const char* s);
size_t __wrap_fwrite(const void* data, size_t size, size_t count, std::FILE* f);
}

namespace mavo {

namespace {

int rawRead(char* dst, int n) {
  DWORD got = 0;
  if (ReadFile(GetStdHandle(STD_INPUT_HANDLE), dst, static_cast<DWORD>(n), &got, nullptr)) return static_cast<int>(got);
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

detail::InputBuffer<int (*)(char*, int)> input(rawRead);

bool pollInitialised = false;
bool inputIsPipe = false;
HANDLE inputHandle = nullptr;

// A key-down event waiting in the console input buffer.
bool keyPressed() {
  DWORD events = 0;
  if (!GetNumberOfConsoleInputEvents(inputHandle, &events) || events == 0) return false;
  INPUT_RECORD records[128];
  DWORD read = 0;
  if (!PeekConsoleInputA(inputHandle, records, events < 128 ? events : 128, &read)) return false;
  for (DWORD i = 0; i < read; ++i)
    if (records[i].EventType == KEY_EVENT && records[i].Event.KeyEvent.bKeyDown) return true;
  return false;
}

// Whether the standard input handle holds data a read would return now.
int rawInputWaiting() {
  if (!pollInitialised) {
    pollInitialised = true;
    inputHandle = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    inputIsPipe = !GetConsoleMode(inputHandle, &mode);
    if (!inputIsPipe) {
      SetConsoleMode(inputHandle, mode & ~(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
      FlushConsoleInputBuffer(inputHandle);
    }
  }
  if (inputIsPipe) {
    DWORD bytes = 0;
    if (!PeekNamedPipe(inputHandle, nullptr, 0, nullptr, &bytes, nullptr)) {
      // A broken pipe (the writer has gone) or a file: a read answers at
      // once. Any other failure (a handle that cannot be peeked) says
      // nothing about waiting data, and a read could block the search.
      if (GetLastError() == ERROR_BROKEN_PIPE) return 1;
      return GetFileType(inputHandle) == FILE_TYPE_DISK ? 1 : 0;
    }
    return bytes ? 1 : 0;
  }
  return keyPressed() ? 1 : 0;
}

// The C library here has no line buffering (_IOLBF means full buffering), so
// standard output is fully buffered and its writers are wrapped at link time
// (CMakeLists.txt) to flush it once a line has ended: each finished line
// reaches the pipe in one write, as on POSIX.
char outputBuffer[1 << 16];

// On standard output the part up to the last newline is flushed before the
// rest is buffered.
bool writeLines(const char* text, size_t n, std::FILE* f) {
  size_t lines = n;
  while (lines > 0 && text[lines - 1] != '\n') --lines;
  if (lines > 0 && (__real_fwrite(text, 1, lines, f) != lines || std::fflush(f) != 0)) return false;
  return __real_fwrite(text + lines, 1, n - lines, f) == n - lines;
}

// A character writer's result, standard output flushed once the character
// written ended a line.
int flushedAtLineEnd(int result, int c, std::FILE* f) {
  if (c == '\n' && f == stdout) std::fflush(stdout);
  return result;
}

}  // namespace

void platformInit() {
  // The same bytes on every system: a bare newline ends a line on standard
  // output and in the files the engine writes (log, test-suite log).
  _setmode(_fileno(stdout), _O_BINARY);
  _fmode = _O_BINARY;
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  std::setvbuf(stdin, nullptr, _IONBF, 0);
}

int inputAvailable() {
  if (input.unseen() || input.ended()) return 1;
  return rawInputWaiting();
}

int readLine(char* buf, int cap) { return input.readLine(buf, cap); }

bool lastLineWasSetAside() { return input.lastReadWasSetAside(); }

// On a console a read waits for the whole typed line.
int peekLine(const char** text, int* length) { return input.peekLine(text, length, rawInputWaiting() != 0); }
void takePeekedLine() { input.takePeeked(); }
void setPeekedLineAside() { input.setPeekedAside(); }

// The loops ask just before they wait for input: a started line (the
// prompt) goes out first. A write into a pipe whose reader has gone fails
// and marks the stream.
bool outputClosed() {
  std::fflush(stdout);
  return std::ferror(stdout) != 0;
}

// Only a console window is cleared; into a pipe "cls" would write a form feed.
void clearConsole() {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
    std::fflush(stdout);
    std::system("cls");
  }
}

}  // namespace mavo

// The formatted writers of the MinGW library call fputc for each character.
extern "C" {
int __wrap_fputc(int c, std::FILE* f) { return mavo::flushedAtLineEnd(__real_fputc(c, f), c, f); }
int __wrap_putc(int c, std::FILE* f) { return mavo::flushedAtLineEnd(__real_putc(c, f), c, f); }
int __wrap_putchar(int c) { return mavo::flushedAtLineEnd(__real_putchar(c), c, stdout); }
int __wrap_puts(const char* s) {
  const int r = __real_puts(s);
  std::fflush(stdout);
  return r;
}
int __wrap_fputs(const char* s, std::FILE* f) {
  if (f != stdout) return __real_fputs(s, f);
  return mavo::writeLines(s, std::strlen(s), f) ? 0 : EOF;
}
size_t __wrap_fwrite(const void* data, size_t size, size_t count, std::FILE* f) {
  if (f != stdout || size == 0) return __real_fwrite(data, size, count, f);
  return mavo::writeLines(static_cast<const char*>(data), size * count, f) ? count : 0;
}
}

#endif
