// The processor's population-count instruction where it has one, asked once
// at start-up, so that the build stays portable (no -march): a function
// marked MAVO_WITH_POPCOUNT is compiled with the instruction, and on a
// dispatching build it may run only while cpuHasPopcount holds.
#pragma once

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__)) && !defined(__POPCNT__)
#define MAVO_POPCOUNT_DISPATCH 1
#define MAVO_WITH_POPCOUNT [[gnu::target("popcnt")]]
namespace mavo {
extern const bool cpuHasPopcount;
}  // namespace mavo
#else
// The compiler's own count is the target's best.
#define MAVO_WITH_POPCOUNT
namespace mavo {
inline constexpr bool cpuHasPopcount = true;
}  // namespace mavo
#endif
