// Is a square attacked by a side, on the bordered board: the question the
// move generator's legality tests ask, and the FEN reader's refusal of a
// position whose side not to move stands in check. The border value 7 ends
// every ray, so no bounds checks are needed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "position/types.h"

namespace mavo {

namespace detail {
// Is the first piece along the ray from s one of the two codes?
template <int Step>
inline bool rayEndsOn(const int32_t* b, int s, int32_t a, int32_t c) {
  int t = s + Step;
  while (b[t] == 0) t += Step;
  return b[t] == a || b[t] == c;
}

// Does one of the squares s + Steps[i] hold the code? Tested in the array's
// order, stopping at the first that does.
// An immediately called lambda keeps these small enough for the
// generator's king moves to stay inlined.
// clang-format off
template <auto Steps>
inline bool onAnyStep(const int32_t* b, int s, int32_t code) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return ((b[s + Steps[I]] == code) || ...);
  }(std::make_index_sequence<Steps.size()>{});
}

template <auto Steps>
inline bool anyRayEndsOn(const int32_t* b, int s, int32_t a, int32_t c) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return (rayEndsOn<Steps[I]>(b, s, a, c) || ...);
  }(std::make_index_sequence<Steps.size()>{});
}
// clang-format on

// The steps from the attacked square to the attacker, per attacking colour,
// in the order the tests run (each colour's order was tuned on its own).
template <int Color>
inline constexpr std::array<int, 8> kKnightSteps =
    Color == 1 ? std::array{12, 19, 8, 21, -12, -19, -21, -8} : std::array{-12, -19, -21, -8, 12, 19, 21, 8};
template <int Color>
inline constexpr std::array<int, 2> kPawnSteps = {Color * 9, Color * 11};
template <int Color>
inline constexpr std::array<int, 8> kKingSteps =
    Color == 1 ? std::array{9, 10, 11, 1, -9, -10, -1, -11} : std::array{-11, -10, -9, -1, 11, 10, 9, 1};
template <int Color>
inline constexpr std::array<int, 4> kDiagonalSteps =
    Color == 1 ? std::array{9, 11, -11, -9} : std::array{-11, -9, 9, 11};
template <int Color>
inline constexpr std::array<int, 4> kStraightSteps =
    Color == 1 ? std::array{-10, 1, -1, 10} : std::array{10, -10, 1, -1};
}  // namespace detail

// The attackers of s of side Color by kind: knights and pawns, the king, the
// sliders.
template <int Color>
inline int attackedByKnightOrPawn(const int32_t* b, int s) {
  if (detail::onAnyStep<detail::kKnightSteps<Color>>(b, s, Color * kKnight)) return 1;
  return detail::onAnyStep<detail::kPawnSteps<Color>>(b, s, Color * kPawn);
}

template <int Color>
inline int attackedByPawn(const int32_t* b, int s) {
  return detail::onAnyStep<detail::kPawnSteps<Color>>(b, s, Color * kPawn);
}

template <int Color>
inline int attackedBySlider(const int32_t* b, int s) {
  if (detail::anyRayEndsOn<detail::kDiagonalSteps<Color>>(b, s, Color * kBishop, Color * kQueen)) return 1;
  return detail::anyRayEndsOn<detail::kStraightSteps<Color>>(b, s, Color * kRook, Color * kQueen);
}

template <int Color>
inline int isAttackedBy(const int32_t* b, int s) {
  if (attackedByKnightOrPawn<Color>(b, s)) return 1;
  if (detail::onAnyStep<detail::kKingSteps<Color>>(b, s, Color * kKing)) return 1;
  return attackedBySlider<Color>(b, s);
}

inline int attackedByBlackKnightOrPawn(const int32_t* b, int s) { return attackedByKnightOrPawn<-1>(b, s); }
inline int attackedByWhiteKnightOrPawn(const int32_t* b, int s) { return attackedByKnightOrPawn<1>(b, s); }
inline int attackedByBlackSlider(const int32_t* b, int s) { return attackedBySlider<-1>(b, s); }
inline int attackedByWhiteSlider(const int32_t* b, int s) { return attackedBySlider<1>(b, s); }
inline int isAttackedByBlack(const int32_t* b, int s) { return isAttackedBy<-1>(b, s); }
inline int isAttackedByWhite(const int32_t* b, int s) { return isAttackedBy<1>(b, s); }

}  // namespace mavo
