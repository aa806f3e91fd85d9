#ifdef _WIN32

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/input_buffer.h"
#include "platform/platform.h"

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

}  // namespace

void platformInit() {
  // The same bytes on every system: a bare newline ends a line on standard
  // output and in the files the engine writes (log, test-suite log).
  _setmode(_fileno(stdout), _O_BINARY);
  _fmode = _O_BINARY;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
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

// A write into a pipe whose reader has gone fails and marks the stream.
bool outputClosed() { return std::ferror(stdout) != 0; }

// Only a console window is cleared; into a pipe "cls" would write a form feed.
void clearConsole() {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) std::system("cls");
}

}  // namespace mavo

#endif
