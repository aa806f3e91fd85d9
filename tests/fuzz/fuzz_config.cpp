// The configuration reader on any Mavo.cfg: the settings it leaves are
// usable (a null-move reduction of 0 to 9, a terminated log file name).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frontend/config.h"
#include "fuzz_platform.h"

using namespace mavo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen("Mavo.cfg", "wb");
  if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
  resetSettings();
  readConfigFile();
  if (settings.nullMoveReduction < 0 || settings.nullMoveReduction > 9) std::abort();
  if (strnlen(settings.logFileName, sizeof settings.logFileName) == sizeof settings.logFileName) std::abort();
  return 0;
}
