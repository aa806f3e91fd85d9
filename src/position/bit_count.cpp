#include "position/bit_count.h"

namespace mavo {

#ifdef MAVO_POPCOUNT_DISPATCH
const bool cpuHasPopcount = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt") != 0;
}();
#endif

}  // namespace mavo
