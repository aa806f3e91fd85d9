#include "position/pawn_terms.h"

#include <gtest/gtest.h>

#include "position/types.h"

namespace mavo::test {
namespace {

// The pawn terms as the board reads them, pawn by pawn, against the mask
// forms (with and without the processor's count) on random placements:
// every neighbour shift must stop at the a and h files.
TEST(PawnTerms, MasksMatchTheBoard) {
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int round = 0; round < 2000; ++round) {
    int32_t board[kBoardCells] = {};
    uint64_t masks[2] = {0, 0};
    for (int side = 0; side < 2; ++side)
      for (int n = next() >> 29; n >= 0; --n) {  // up to 8 pawns, ranks 2 to 7
        const int s = squareAt(1 + (next() >> 16) % 8, 2 + (next() >> 16) % 6);
        if (board[s]) continue;
        board[s] = side == 0 ? kPawn : -kPawn;
        masks[side] |= squareBit[s];
      }
    int expected = 0;
    for (int s = A8; s <= H1; ++s) {
      const int32_t* b = board;
      if (b[s] == kPawn) {
        if (s < 39 && (b[s + 11] == 1 || b[s + 9] == 1)) expected += 150;
        if (s < 39 && (b[s + 1] == 1 || b[s - 1] == 1)) expected += 200;
        expected -= 20 * (b[s + 10] == 1);
        expected -= 15 * ((b[s - 1] != 1 && b[s + 1] != 1) || b[s - 11] == 1 || b[s - 9] == 1);
      } else if (b[s] == -kPawn) {
        if (s > 80 && (b[s - 11] == -1 || b[s - 9] == -1)) expected -= 150;
        if (s > 80 && (b[s + 1] == -1 || b[s - 1] == -1)) expected -= 200;
        expected += 20 * (b[s - 10] == -1);
        expected += 15 * ((b[s - 1] != -1 && b[s + 1] != -1) || b[s + 11] == -1 || b[s + 9] == -1);
      }
    }
    ASSERT_EQ(detail::pawnTermsPortable(masks[0], masks[1]), expected) << round;
    ASSERT_EQ(detail::pawnTermsHardware(masks[0], masks[1]), expected) << round;
  }
}

}  // namespace
}  // namespace mavo::test
