// The program's clock: milliseconds since start on a steady wall clock (not
// CPU time), the same on every system.
#include <chrono>

#include "platform/platform.h"

namespace mavo {

namespace {
const auto kStart = std::chrono::steady_clock::now();
}  // namespace

int64_t clockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kStart).count();
}

}  // namespace mavo
