// The boards and the state printouts of the position record.
#pragma once

#include <cstdio>

#include "position/types.h"

namespace mavo {

// The frame every board printout shares: ranks 8 to 1 with their numbers,
// `cell(out, square)` for the files a to h, then the file letters; the
// console's form, or the bracketed one of the UCI debugging commands.
enum class BoardFrame { Console, Bracketed };
template <typename Cell>
void writeBoardFrame(std::FILE* out, BoardFrame frame, Cell cell) {
  const bool console = frame == BoardFrame::Console;
  for (int rank = 8; rank >= 1; --rank) {
    std::fprintf(out, console ? "\n %d  " : "\n\n%d   ", rank);
    for (int file = 1; file <= 8; ++file) cell(out, squareAt(file, rank));
  }
  if (console) {
    std::fprintf(out, "\n\n     A  B  C  D  E  F  G  H\n");
  } else {
    std::fprintf(out, "\n\n    ");
    for (char c = 'a'; c <= 'h'; ++c) std::fprintf(out, "%2c ", c);
  }
}

void printBoard(const Position& pos);
// The bracketed board with its file letters: the grid the UCI debugging
// commands print and log.
void writeBracketedBoard(std::FILE* out, const Position& pos);
void printPosition(const Position& pos);  // the bracketed board with state lines
void logBoard(const Position& pos);       // the bracketed board into the log

// "\nfen: " with the FEN's first four fields, the fifty-move counter and
// the move number: the console's "fen" and the UCI log's position record.
void writeFenLine(std::FILE* out, const Position& pos);

// Console debugging printouts.
void printInfo(const Position& pos);
void printStack(const Position& pos);
void printShowPiece(const Position& pos);

}  // namespace mavo
