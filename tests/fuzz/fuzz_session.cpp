// A whole session of the engine in-process: the fuzz input is the standard
// input of the console loop (after a first line "uci" for the UCI target),
// with logging on. Numbers on lines that name perft or divide are cut to
// one digit of at most 3; searches end by the fuzz platform's clock.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "frontend/config.h"
#include "frontend/console.h"
#include "fuzz_platform.h"

using namespace mavo;

namespace {

void capPerftDepths(std::vector<uint8_t>& in) {
  std::string_view text(reinterpret_cast<const char*>(in.data()), in.size());
  for (size_t start = 0; start < in.size();) {
    size_t end = std::min(text.find('\n', start), in.size());
    std::string_view line = text.substr(start, end - start);
    if (line.find("perft") != line.npos || line.find("divide") != line.npos) {
      for (size_t i = start; i < end; ++i) {
        if (in[i] < '0' || in[i] > '9') continue;
        if (i > start && in[i - 1] >= '0' && in[i - 1] <= '3') in[i] = ' ';
        else if (in[i] > '3') in[i] = '3';
      }
    }
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUp();
  std::FILE* cfg = std::fopen("Mavo.cfg", "w");
  if (!cfg || std::fputs("Logging = 1\nLogfile = session.log\n", cfg) < 0 || std::fclose(cfg) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#ifdef MAVO_FUZZ_UCI
  std::vector<uint8_t> in{'u', 'c', 'i', '\n'};
#else
  std::vector<uint8_t> in;
#endif
  in.insert(in.end(), data, data + size);
  capPerftDepths(in);
  fuzz::setInput(in.data(), in.size());
  runConsole();
  if (logFile) std::fclose(logFile);
  logFile = nullptr;
  return 0;
}
