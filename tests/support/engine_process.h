// Runs the real mavo binary as a child process over pipes, the way a GUI or
// a shell script does, for black-box tests.
//
// The engine command is the built binary (MAVO_BINARY); the environment
// variable MAVO_ENGINE overrides it with a whole command line split at blanks
// (for example "wine /path/mavo.exe").
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mavo::test {

// The whole file, "" when missing.
std::string readFile(const std::string& path);

// A fresh directory under the system's temporary directory, removed again
// with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;  // "" when missing

 private:
  std::string path_;
};

class EngineProcess {
 public:
  // Starts the engine in `workDir` (a new temporary directory when empty).
  explicit EngineProcess(const std::string& workDir = "");
  ~EngineProcess();
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  void send(const std::string& text);
  void closeInput();
  void closeOutput();  // closes our end of the engine's standard output

  // Reads until the output collected since `from` contains `needle`;
  // returns whether it did within the time.
  bool waitFor(const std::string& needle, int timeoutMs, size_t from = 0);
  // Reads whatever arrives within the time.
  void drain(int timeoutMs);

  // Waits for the process to end: its exit status, 128 + signal number when
  // a signal ended it, or -1 when it did not end in time (it is then killed).
  int waitExit(int timeoutMs);

  const std::string& output() const { return out_; }
  // The length of the output after each read: where the reads ended.
  const std::vector<size_t>& readEnds() const { return readEnds_; }

 private:
  bool readSome(int timeoutMs);

  std::unique_ptr<TempDir> ownDir_;
  std::string dir_;
  int pid_ = -1;
  int in_ = -1;
  int outFd_ = -1;
  int status_ = -2;
  std::string out_;
  std::vector<size_t> readEnds_;
};

struct RunResult {
  std::string out;
  int status;  // as EngineProcess::waitExit
};

// Feeds `input` to a new engine, closes its input and collects everything it
// writes until it exits.
RunResult runEngine(const std::string& input, const std::string& workDir = "", int timeoutMs = 20000);

// The start of every console session: banner, configuration warning and the
// first prompt.
inline const std::string kConsoleStart = "Mavo version: 0.0370 - Kestrano\nwarning: couldn't open Mavo.cfg\n\nmavo: ";

}  // namespace mavo::test
