// Legal move generation.
#pragma once

#include "position/types.h"

namespace mavo {

// Pawn ranks by square (rank 8 has the lowest numbers): a white pawn on H7
// or before promotes with its next step, a black one on A2 or after; each
// side's pawns start on the other side's promoting rank.
inline constexpr int kLastWhitePromotingSquare = H7;
inline constexpr int kFirstBlackPromotingSquare = A2;
inline constexpr int kFirstWhitePawnHomeSquare = A2;
inline constexpr int kLastBlackPawnHomeSquare = H7;
// En passant targets: White takes onto the sixth rank, Black onto the third.
inline constexpr int kLastWhiteEnPassantTarget = H6;
inline constexpr int kFirstBlackEnPassantTarget = A3;

// Every legal move of the side to move, in the engine's fixed order; returns
// the count. The position is the same on return. Each move carries its
// order score: the mover's ordering-table gain, less the side-to-move-signed
// value of what stands on the target, plus the first bonus below that its
// kind earns.
int generateMoves(Position& pos, Move* list);

// The order score's bonus for a move of `piece` by its kind: a queen
// promotion, a capture, a pawn stepping onto its sixth rank or beyond, in
// that order of precedence; 0 for any other move.
inline constexpr int kQueenPromotionBonus = 400;
inline constexpr int kCaptureBonus = 800;
inline constexpr int kPawnToSixthBonus = 340;
inline constexpr int kLastWhiteSixthRankSquare = H6;
inline constexpr int kFirstBlackSixthRankSquare = A3;  // Black's sixth rank is the board's third
[[gnu::always_inline]] inline int kindBonus(int type, int32_t captured, int32_t piece, int to) {
  if (type == WhitePromoQueen || type == BlackPromoQueen) return kQueenPromotionBonus;
  if (captured != 0) return kCaptureBonus;
  if ((piece == kPawn && to <= kLastWhiteSixthRankSquare) || (piece == -kPawn && to >= kFirstBlackSixthRankSquare))
    return kPawnToSixthBonus;
  return 0;
}

// Legal captures and queen promotions only (the quiescence search's list).
int generateCaptures(Position& pos, Move* list);

// The same lists, for a caller that has tested whether the side to move is
// in check (Debug and sanitizer builds test it again).
int generateMoves(Position& pos, Move* list, bool inCheck);
int generateCaptures(Position& pos, Move* list, bool inCheck);

// The number generateMoves would return, without writing a list.
int countLegalMoves(Position& pos);

}  // namespace mavo
