#include "position/consistency.h"

#include <cstdio>
#include <cstdlib>

#include "position/key.h"
#include "position/position.h"

namespace mavo {

const char* checkPosition(const Position& pos, bool checkKey) {
  // One pass over the cells: border, codes, counts and slot addresses.
  int counts[13] = {};
  int onBoard = 0;
  for (int s = 0; s < kBoardCells; ++s) {
    const int32_t c = pos.board[s];
    if (isPlayingSquare(s) != (c != kBorder)) return "border cell wrong";
    if (c == kBorder) {
      if (pos.slotAddress[s] != 0) return "slot address on empty square";
      continue;
    }
    if (c < -kKing || c > kKing) return "bad piece code";
    ++counts[c + 6];
    if (c != 0 && c != kKing && c != -kKing) {
      ++onBoard;
      if (pos.slotAddress[s] == 0 || pos.pieceList[pos.slotAddress[s]] != s) return "piece without slot";
    } else if (pos.slotAddress[s] != 0) {
      return "slot address on empty square";
    }
  }
  if (pos.board[pos.whiteKing] != kKing) return "white king square wrong";
  if (pos.board[pos.blackKing] != -kKing) return "black king square wrong";
  if (counts[kKing + 6] + counts[-kKing + 6] != 2) return "king count wrong";
  for (int c = -5; c <= 5; ++c)
    if (c != 0 && counts[c + 6] != pos.pieceCount[pieceCountIndex(c)]) return "piece count wrong";
  int listed = 0;
  for (int slot = 1; slot <= kLastSlot; ++slot) {
    int q = pos.pieceList[slot];
    if (!q) continue;
    ++listed;
    if (!isPlayingSquare(q)) return "slot names no square";
    if (pos.slotAddress[q] != slot) return "slot address mismatch";
    bool white = slot < kBlackPawnSlots;
    int32_t c = pos.board[q];
    if (white ? !(c >= 1 && c <= 5) : !(c <= -1 && c >= -5)) return "slot piece has wrong colour";
  }
  if (onBoard != listed) return "piece list and board disagree";
  if (pos.color != 1 && pos.color != -1) return "bad side to move";
  // The kept board key is right at every point; the key is not right after
  // unmakeMove, which leaves the undone move's key.
  Position copy = pos;
  computeKey(copy);
  if (copy.boardKey != pos.boardKey) return "board key wrong";
  computeMasks(copy);
  if (copy.pawnMask[0] != pos.pawnMask[0] || copy.pawnMask[1] != pos.pawnMask[1]) return "pawn masks wrong";
  if (copy.pawnScore != pos.pawnScore) return "pawn score wrong";
  if ((copy.slotMask ^ pos.slotMask) >> 1) return "slot mask wrong";
  if (copy.sliderSquares[0] != pos.sliderSquares[0] || copy.sliderSquares[1] != pos.sliderSquares[1])
    return "slider squares wrong";
  if (copy.occupied[0] != pos.occupied[0] || copy.occupied[1] != pos.occupied[1]) return "occupied squares wrong";
  if (checkKey && copy.hashkey != pos.hashkey) return "key wrong";
  return nullptr;
}

#ifdef MAVO_CHECK_POSITION
void failPositionCheck(const char* where, const char* fault) {
  std::fprintf(stderr, "position check failed after %s: %s\n", where, fault);
  std::abort();
}
#endif

}  // namespace mavo
