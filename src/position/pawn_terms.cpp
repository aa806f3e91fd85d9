#include "position/pawn_terms.h"

#include "position/bit_count.h"
#include "position/types.h"

namespace mavo {

namespace {

constexpr uint64_t kRanks8And7 = 0xffffull;
constexpr uint64_t kRanks2And1 = 0xffffull << 48;

// The squares q whose mailbox neighbour q + Step is in the mask.
template <int Step>
inline uint64_t pawnAt(uint64_t mask) {
  return stepped<-Step>(mask);
}

template <bool Hardware>
[[gnu::always_inline]] inline int bitCount(uint64_t x) {
  if constexpr (Hardware) return __builtin_popcountll(x);
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0full;
  return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

// White: on the seventh rank, +150 with an own pawn diagonally behind and
// +200 with one beside; -20 with an own pawn behind; -15 with no own pawn
// beside, or with one diagonally ahead. Black mirrored.
template <bool Hardware>
[[gnu::always_inline]] inline int pawnTermsOf(uint64_t white, uint64_t black) {
  int score = 0;
  {
    const uint64_t beside = pawnAt<1>(white) | pawnAt<-1>(white);
    if (const uint64_t seventh = white & kRanks8And7) {
      score += 150 * bitCount<Hardware>(seventh & (pawnAt<11>(white) | pawnAt<9>(white)));
      score += 200 * bitCount<Hardware>(seventh & beside);
    }
    score -= 20 * bitCount<Hardware>(white & pawnAt<10>(white));
    score -= 15 * bitCount<Hardware>(white & (~beside | pawnAt<-11>(white) | pawnAt<-9>(white)));
  }
  {
    const uint64_t beside = pawnAt<1>(black) | pawnAt<-1>(black);
    if (const uint64_t second = black & kRanks2And1) {
      score -= 150 * bitCount<Hardware>(second & (pawnAt<-11>(black) | pawnAt<-9>(black)));
      score -= 200 * bitCount<Hardware>(second & beside);
    }
    score += 20 * bitCount<Hardware>(black & pawnAt<-10>(black));
    score += 15 * bitCount<Hardware>(black & (~beside | pawnAt<11>(black) | pawnAt<9>(black)));
  }
  return score;
}

}  // namespace

namespace detail {
MAVO_WITH_POPCOUNT int pawnTermsHardware(uint64_t white, uint64_t black) { return pawnTermsOf<true>(white, black); }
int pawnTermsPortable(uint64_t white, uint64_t black) { return pawnTermsOf<false>(white, black); }
}  // namespace detail

int pawnTerms(uint64_t white, uint64_t black) {
  return cpuHasPopcount ? detail::pawnTermsHardware(white, black) : detail::pawnTermsPortable(white, black);
}

}  // namespace mavo
