#include "support/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace mavo::test {

namespace {

std::vector<std::string> engineCommand() {
  std::vector<std::string> argv;
  if (const char* env = std::getenv("MAVO_ENGINE"); env && *env) {
    std::istringstream words(env);
    for (std::string w; words >> w;) argv.push_back(w);
  } else {
    argv.push_back(MAVO_BINARY);
  }
  return argv;
}

int64_t nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mavo-test-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& content) const {
  std::ofstream f(file(name), std::ios::binary);
  f << content;
}

std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string TempDir::read(const std::string& name) const { return readFile(file(name)); }

EngineProcess::EngineProcess(const std::string& workDir) {
  if (workDir.empty()) {
    ownDir_ = std::make_unique<TempDir>();
    dir_ = ownDir_->path();
  } else {
    dir_ = workDir;
  }
  int inPipe[2], outPipe[2];
  if (::pipe(inPipe) != 0 || ::pipe(outPipe) != 0) throw std::runtime_error("pipe failed");
  std::vector<std::string> argv = engineCommand();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(inPipe[0], 0);
    ::dup2(outPipe[1], 1);
    ::close(inPipe[0]);
    ::close(inPipe[1]);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    if (::chdir(dir_.c_str()) != 0) ::_exit(126);
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(inPipe[0]);
  ::close(outPipe[1]);
  in_ = inPipe[1];
  outFd_ = outPipe[0];
  ::signal(SIGPIPE, SIG_IGN);
}

EngineProcess::~EngineProcess() {
  closeInput();
  if (status_ == -2 && pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) ::close(outFd_);
}

void EngineProcess::send(const std::string& text) {
  size_t done = 0;
  while (in_ >= 0 && done < text.size()) {
    ssize_t n = ::write(in_, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += static_cast<size_t>(n);
  }
}

void EngineProcess::closeInput() {
  if (in_ >= 0) ::close(in_);
  in_ = -1;
}

void EngineProcess::closeOutput() {
  if (outFd_ >= 0) ::close(outFd_);
  outFd_ = -1;
}

bool EngineProcess::readSome(int timeoutMs) {
  if (outFd_ < 0) return false;
  pollfd p{outFd_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return false;
  char buf[65536];
  ssize_t n = ::read(outFd_, buf, sizeof buf);
  if (n <= 0) {
    ::close(outFd_);
    outFd_ = -1;
    return false;
  }
  out_.append(buf, static_cast<size_t>(n));
  readEnds_.push_back(out_.size());
  return true;
}

bool EngineProcess::waitFor(const std::string& needle, int timeoutMs, size_t from) {
  int64_t deadline = nowMs() + timeoutMs;
  for (;;) {
    if (out_.size() >= from && out_.find(needle, from) != std::string::npos) return true;
    int64_t left = deadline - nowMs();
    if (left <= 0 || outFd_ < 0) return false;
    readSome(static_cast<int>(left));
  }
}

void EngineProcess::drain(int timeoutMs) {
  int64_t deadline = nowMs() + timeoutMs;
  for (int64_t left = timeoutMs; left > 0 && outFd_ >= 0; left = deadline - nowMs()) readSome(static_cast<int>(left));
}

int EngineProcess::waitExit(int timeoutMs) {
  if (status_ != -2) return status_;
  int64_t deadline = nowMs() + timeoutMs;
  for (;;) {
    int st = 0;
    pid_t r = ::waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
      status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
      while (readSome(0)) {
      }
      return status_;
    }
    if (nowMs() >= deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      status_ = -1;
      return status_;
    }
    if (!readSome(10)) ::usleep(2000);
  }
}

RunResult runEngine(const std::string& input, const std::string& workDir, int timeoutMs) {
  EngineProcess engine(workDir);
  engine.send(input);
  engine.closeInput();
  int status = engine.waitExit(timeoutMs);
  return {engine.output(), status};
}

}  // namespace mavo::test
