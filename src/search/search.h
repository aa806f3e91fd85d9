// The alpha-beta and quiescence searches, draw detection and the search
// state they share with the driver.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/ordering.h"

namespace mavo {

extern int iterationDepth;
extern uint64_t nodes;     // moves made at alpha-beta nodes
extern uint64_t qsNodes;   // quiescence nodes below the latest alpha-beta node
extern int nullMoveCalls;
extern int nullMoveCutoffs;
extern int firstMoveCutoffs;
extern int otherCutoffs;
extern int searchCountdown;
extern int progressCountdown;
extern int qsCountdown;
extern int stopFlag;
extern int selDepth;
extern int lastImprovedScore;
extern Move rootBestMove;
extern int rootMoveCount;
extern int rootMoveNumber;
extern Move currentRootMove;

// 1 when the position is drawn by the fifty-move rule or stands for the
// third time (same side to move).
int checkfordraw(const Position& pos);

// Depth of the quiescence search's null-move child, or 0 when a node at
// this depth makes no null move.
constexpr int quiesceNullMoveDepth(int qsDepth) {
  return qsDepth > 3 ? qsDepth - 3 - (qsDepth > 5) - (qsDepth > 7) : 0;
}

int alphaBeta(Position& pos, int alpha, int beta, int nodePly, int depth, PvLine& pv, int internalSearch);
int quiesce(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv);

}  // namespace mavo
