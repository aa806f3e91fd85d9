#include "position/position.h"

#include <cstring>

#include "position/pawn_terms.h"
#include "position/tables.h"

namespace mavo {

Move MoveStack[kMoveStackSize];
uint16_t stackKeyCount[kStackKeyBucketMask + 1];
int searchPly = 0;
int castleRookSquare[4] = {A1, H1, A8, H8};
int castleKingSquare[2] = {E1, E8};
int chess960Mode = 0;

void initPosition(Position& pos) {
  std::memcpy(pos.board, kEmptyBoard.v, sizeof pos.board);
  loadPieceSquareTables();
  for (int& m : pos.moved) m = 0;
  pos.epField = 0;
  pos.fifty = 0;
  pos.color = 1;
}

void computeMasks(Position& pos) {
  pos.pawnMask[0] = pos.pawnMask[1] = pos.sliderSquares[0] = pos.sliderSquares[1] = 0;
  pos.occupied[0] = pos.occupied[1] = 0;
  for (int s = A8; s <= H1; ++s) {
    const int32_t c = pos.board[s];
    if (c != 0 && c != kBorder) pos.occupied[c < 0] |= squareBit[s];
    if (c == kPawn) pos.pawnMask[0] |= squareBit[s];
    if (c == -kPawn) pos.pawnMask[1] |= squareBit[s];
    if (c >= kBishop && c <= kQueen) pos.sliderSquares[0] |= squareBit[s];
    if (c <= -kBishop && c >= -kQueen) pos.sliderSquares[1] |= squareBit[s];
  }
  pos.pawnScore = pawnTerms(pos.pawnMask[0], pos.pawnMask[1]);
  pos.slotMask = 0;
  for (int slot = 1; slot <= kLastSlot; ++slot)
    if (pos.pieceList[slot]) pos.slotMask |= 1u << slot;
}

}  // namespace mavo
