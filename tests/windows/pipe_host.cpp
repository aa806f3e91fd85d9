// pipe_host.exe ENGINE: starts the engine the way a Windows GUI does, with
// its standard input on an anonymous Windows pipe (CreatePipe), and relays
// our own standard input into that pipe. Under Wine our standard input is a
// Unix pipe, which PeekNamedPipe cannot look into; the engine's input poll
// needs a real Windows pipe to be tested. Standard output and error are
// passed through; the exit status is the engine's.
#include <windows.h>

#include <string>

namespace {

HANDLE ourInput;
HANDLE engineInput;

DWORD WINAPI relay(void*) {
  char buf[4096];
  DWORD got = 0, put = 0;
  while (ReadFile(ourInput, buf, sizeof buf, &got, nullptr) && got > 0)
    if (!WriteFile(engineInput, buf, got, &put, nullptr)) break;
  CloseHandle(engineInput);  // the engine sees the end of its input
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childRead = nullptr;
  if (!CreatePipe(&childRead, &engineInput, &inherit, 0)) return 3;
  SetHandleInformation(engineInput, HANDLE_FLAG_INHERIT, 0);
  ourInput = GetStdHandle(STD_INPUT_HANDLE);

  STARTUPINFOA start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = childRead;
  start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string command = std::string("\"") + argv[1] + "\"";
  PROCESS_INFORMATION child{};
  // Under a busy Wine server a process start can fail now and then.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    if (attempt) Sleep(200);
    started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &child);
  }
  if (!started) return 4;
  CloseHandle(childRead);
  CloseHandle(CreateThread(nullptr, 0, relay, nullptr, 0, nullptr));
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(child.hProcess, &status);
  ExitProcess(status);
}
