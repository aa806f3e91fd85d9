#include "frontend/printouts.h"

#include <cstdio>

#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "position/notation.h"
#include "position/position.h"
#include "search/ordering.h"

namespace mavo {

void printMoveList(Position pos, const Move* moves, int count) {
  std::printf("\n");
  for (int i = 0; i < count; ++i) {
    const Move& m = moves[i];
    const int32_t piece = pos.board[m.from];
    const bool castling = m.type >= WhiteCastleShort && m.type <= BlackCastleLong;
    // A Chess960 castling move names the own rook's square: no capture.
    const bool capture = pos.board[m.to] != 0 && !castling;
    if (piece != kPawn && piece != -kPawn) std::printf("%c", pieceLetter(piece));
    if ((piece == kPawn || piece == -kPawn) && capture) printSquare(m.from);
    if (castling) {
      if ((m.from == E1 && m.to == G1) || (m.from == E8 && m.to == G8)) std::printf(" 0-0 ");
      if ((m.from == E1 && m.to == C1) || (m.from == E8 && m.to == C8)) std::printf(" 0-0-0 ");
    }
    if (capture) std::printf("x");
    if (const PieceCode promoted = promotedPiece(m.type)) std::printf("%c", pieceLetter(promoted));
    if (!(m.type >= 2 && m.captured == 0)) printSquare(m.to);  // en passant shows its square
    makeMove(pos, m);
    MoveList replies;
    int n = generateMoves(pos, replies);
    bool check = sideToMoveInCheck(pos);
    if (check && n > 0) std::printf("+");
    if (check && n == 0) std::printf("#");
    if (!check && n == 0) std::printf("S");
    unmakeMove(pos);
    std::printf(" ");
  }
  std::printf("\n");
}

void printSortedMoves(Position& pos) {
  MoveList moves;
  int n = generateMoves(pos, moves);
  // Outside a search searchPly is only a count of moves made and undone;
  // the killer tables have no row for values beyond a search's depths.
  int depth = searchPly >= 0 && searchPly < kKillerSlots ? searchPly : 0;
  scoreMoves(n, moves, pos, depth);
  sortMoves(moves, n);
  std::printf("\nMoves sorted for Alpha-Beta");
  std::printf("\n%d legal moves\n", n);
  for (int i = n - 1; i >= 0; --i) {
    std::printf("\n");
    printSquare(moves[i].from);
    printSquare(moves[i].to);
    if (moves[i].type > 6) printPromotion(moves[i].type);
    std::printf(" value: %3d", moves[i].score);
  }
}

}  // namespace mavo
