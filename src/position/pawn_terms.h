// The evaluation's pawn-structure terms, a function of the two pawn masks
// alone: makeMove keeps their sum in Position::pawnScore, recounting it only
// when a pawn moves or is taken.
#pragma once

#include <cstdint>

namespace mavo {

// White's terms minus Black's, from the pawn masks (Position::pawnMask).
int pawnTerms(uint64_t white, uint64_t black);

namespace detail {
// The same counted with the processor's population-count instruction and
// without it; pawnTerms takes the first where the processor has it.
int pawnTermsHardware(uint64_t white, uint64_t black);
int pawnTermsPortable(uint64_t white, uint64_t black);
}  // namespace detail

}  // namespace mavo
