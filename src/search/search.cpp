#include "search/search.h"

#include <climits>

#include "movegen/attack.h"
#include "movegen/makemove.h"
#include "movegen/movegen.h"
#include "platform/platform.h"
#include "position/consistency.h"
#include "position/position.h"
#include "position/settings.h"
#include "search/evaluate.h"

namespace mavo {

SearchState searchState;
SearchHooks searchHooks;

namespace {

// The line of a node: its move followed by the child's line, cut at the
// record's size.
inline void extendPv(PvLine& pv, const Move& move, const PvLine& child) {
  int childMoves = child.count < kMaxPvMoves - 1 ? child.count : kMaxPvMoves - 1;
  pv.moves[0] = move;
  for (int k = 0; k < childMoves; ++k) pv.moves[k + 1] = child.moves[k];
  pv.count = childMoves + 1;
}

// The explosion guard: in the first iterations a quiescence search below
// one alpha-beta node gives up after this many nodes.
constexpr uint64_t kEarlyQuiescenceNodeCap = 50000;
constexpr int kFirstUncappedIteration = 4;

// Reads the clock, then polls the input; true when the search must stop.
inline bool timeToStop() {
  int64_t now = clockMs();
  int stopCommand = searchHooks.inputCheck ? searchHooks.inputCheck() : 0;
  return now > searchLimits.searchDeadline || stopCommand;
}

// Once a countdown has run out, reads the clock and the input: true (and
// the stop flag set) when the search must stop, else the countdown starts
// again.
inline bool countdownStops(int& countdown) {
  if (countdown >= 0) return false;
  if (timeToStop()) {
    searchState.stopFlag = 1;
    return true;
  }
  countdown = kTimeCheckInterval;
  return false;
}

#ifdef MAVO_CHECK_POSITION
inline void assertCaptureLegal(const Position& pos, const Move& m) {
  const int king = pos.color == 1 ? pos.blackKing : pos.whiteKing;
  if (aligned(king, m.from) &&
      (pos.color == 1 ? isAttackedByWhite(pos.board, king) : isAttackedByBlack(pos.board, king)))
    failPositionCheck("a quiescence capture", "the mover's king is attacked");
}
inline void assertNoRepetition(const Position& pos) {
  if (checkfordraw(pos)) failPositionCheck("a node's draw test", "the key counts missed a repetition");
}
#else
inline void assertCaptureLegal(const Position&, const Move&) {}
inline void assertNoRepetition(const Position&) {}
#endif

// The move stack must keep room for the moves of any line below.
inline bool stackFull(const Position& pos) { return pos.ply >= kMoveStackSize - 1; }

// A quiescence node's first steps: it is counted, then the mate bound, the
// explosion guard and a stop end it before it evaluates (it returns alpha).
inline bool quiesceEndsAtOnce(int alpha) {
  --searchState.qsCountdown;
  ++searchState.qsNodes;
  if (alpha > kInfinity - 1 - searchPly) return true;
  if (searchState.qsNodes > kEarlyQuiescenceNodeCap && searchState.iterationDepth < kFirstUncappedIteration)
    return true;
  return countdownStops(searchState.qsCountdown);
}

// The quiescence node's null move (intended as it stands, though it never
// cuts). Its child's stand pat is this node's with the side-to-move bonus
// handed over: the two sum to twice the bonus, or are both 0. Below this
// node's beta, the child's always meets its own beta, so the child returns
// it and this node goes on. So only the child's first steps are run, without
// its evaluation; its selective depth is this node's. True when they end
// it: the child then returns its alpha, and this node beta.
inline bool nullChildStops(int beta) { return quiesceEndsAtOnce(-beta); }

}  // namespace

void clearSearchMemory() {
  for (int i = 0; i < kKillerSlots; ++i)
    killerPrimary[i] = killerSecondary[i] = mateKillerPrimary[i] = mateKillerSecondary[i] = Move{};
  rootPV = PvLine{};
  searchState = SearchState{};
}

void resetSearchForFixedDepth() {
  clearSearchMemory();
  searchState.searchCountdown = searchState.progressCountdown = searchState.qsCountdown = INT_MAX;
  setDeadline(clockMs() + kNoTimeLimit);
  searchLimits.unlimited = false;
  searchLimits.nodeLimit = kNoNodeLimit;
  searchLimits.mateLimit = 0;
  searchLimits.searchMoveCount = 0;
  searchHooks = SearchHooks{};
}

int restrictRootMoves(Move* moves, int n) {
  const SearchLimits& l = searchLimits;
  if (l.searchMoveCount == 0) return n;
  int kept = 0;
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < l.searchMoveCount; ++k)
      if (moves[i].from == l.searchMoves[k].from && moves[i].to == l.searchMoves[k].to &&
          moves[i].type == l.searchMoves[k].type) {
        moves[kept++] = moves[i];
        break;
      }
  return kept;
}

int checkfordraw(const Position& pos) {
  if (pos.fifty > 100) return 1;
  int limit = pos.fifty + searchPly;
  if (limit <= 2) return 0;
  int found = 0;
  for (int d = 2; d == 2 || d < limit; d += 2) {
    int entry = pos.ply - 1 - d;
    if (entry < 0) return 0;
    if (MoveStack[entry].keyAfter == pos.hashkey && ++found == 2) return 1;
  }
  return 0;
}

namespace {

// Whether the side to move is in check, when the caller knows it already
// (an alpha-beta node handing over its own position).
enum KnownCheck { kCheckUnknown, kNotInCheck, kInCheck };

int quiesceNode(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv, KnownCheck known);

// A quiescence node that goes on to its moves, its alpha raised to the
// stand pat where that is higher.
[[gnu::noinline]] int quiesceMoves(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv, KnownCheck known) {
  const bool inCheck = known == kCheckUnknown ? sideToMoveInCheck(pos) : known == kInCheck;

  // A child that returns before clearing its line (mate bound, explosion
  // guard, stop) must not hand up whatever this frame held.
  PvLine child;
  child.count = 0;
  MoveList moves;
  int n;
  if (!inCheck) {
    if (quiesceNullMoveDepth(qsDepth) && nullChildStops(beta)) return beta;
    n = generateCaptures(pos, moves, false);
  } else {
    n = generateMoves(pos, moves, true);
  }
  if (n == 0) return inCheck ? matedIn(searchPly) : alpha;
  if (n > 3) scoreCaptures(moves, n, pos);
  VisitOrder visit = n > 3 ? VisitOrder(moves, n) : VisitOrder(n);
  for (int i = n - 1; i >= 0; --i) {
    const Move& m = moves[visit[i]];
    makeMove(pos, m);
    // The capture list holds legal captures only, so the second safeguard
    // (a capture whose origin is on a line with the mover's king must not
    // leave that king attacked) never skips one: Debug and sanitizer builds
    // check it, Release builds spare the attack test.
    if (!inCheck) assertCaptureLegal(pos, m);
    // The child's window is one point wider than the negated one on both
    // sides; intended, like the node-count condition on the cut-off (no
    // cut-off while the alpha-beta nodes are not more than this node's
    // moves) and the beta + 1 it returns: the search's numbers rest on them.
    int v = -quiesceNode(pos, -beta - 1, 1 - alpha, qsDepth - 1, child, kCheckUnknown);
    unmakeMove(pos);
    if (v >= beta && searchState.nodes > static_cast<uint64_t>(n)) {
      if (m.captured == 0) {
        killerSecondary[searchPly] = killerPrimary[searchPly];
        killerPrimary[searchPly] = m;
      }
      // White's mates only (color times the mover's score): intended, the
      // search's numbers rest on it.
      if (pos.color * v > kMateThreshold) mateKillerPrimary[searchPly] = m;
      return beta + 1;
    }
    if (v > alpha) {
      alpha = v;
      searchState.lastImprovedScore = v;
      extendPv(pv, m, child);
    }
  }
  return alpha;
}

// The node's first steps, inline where it is called: most nodes end here,
// at their stand pat. The stand pat holds in check too, so the check is
// looked at only by a node that goes on to its moves.
[[gnu::always_inline]] inline int quiesceNode(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv,
                                              KnownCheck known) {
  if (quiesceEndsAtOnce(alpha)) return alpha;
  searchState.selDepth = searchState.iterationDepth + searchPly;
  pv.count = 0;
  const int standPat = evaluate(pos);
  if (standPat >= beta) return standPat;
  if (standPat > alpha) alpha = standPat;
  if (qsDepth <= 0 || searchPly >= 64 || stackFull(pos)) return standPat;
  return quiesceMoves(pos, alpha, beta, qsDepth, pv, known);
}

}  // namespace

int quiesce(Position& pos, int alpha, int beta, int qsDepth, PvLine& pv) {
  return quiesceNode(pos, alpha, beta, qsDepth, pv, kCheckUnknown);
}

namespace {

// The entries below the root, counted afresh: whatever played on the stack
// before (set-ups, copies) leaves no trace, and the search's own moves are
// counted in and out in turn.
void recountStackKeys(const Position& pos) {
  for (uint16_t& c : stackKeyCount) c = 0;
  for (int i = 0; i < pos.ply; ++i) ++stackKeyCount[MoveStack[i].keyAfter & kStackKeyBucketMask];
}

// checkfordraw, with the scan left out where fewer than two entries share
// the key's bucket.
inline bool drawn(const Position& pos) {
  if (pos.fifty <= 100 && stackKeyCount[pos.hashkey & kStackKeyBucketMask] < 2) {
    assertNoRepetition(pos);
    return false;
  }
  return checkfordraw(pos);
}

// The node limit, then the clock and the input every kTimeCheckInterval
// nodes: true when the search must stop before this node.
inline bool nodeMustStop() {
  // Counted at every node, so that a node limit gives the same search
  // whenever it is run; the node that goes past it is not searched.
  if (searchState.nodes > searchLimits.nodeLimit) {
    searchState.stopFlag = 1;
    return true;
  }
  return countdownStops(searchState.searchCountdown);
}

inline void reportProgress() {
  if (searchState.progressCountdown < 0 && !searchState.stopFlag) {
    if (searchHooks.progress) searchHooks.progress();
    searchState.progressCountdown = kProgressInterval;
  }
}

// Before the moves: a deep node that may not make a null move runs a reduced
// pre-search, the others the null move. True when the null move and the
// quiescence search that confirms it both reach beta.
inline bool nullMoveCutsOff(Position& pos, int alpha, int beta, int nodePly, int depth, bool nullAllowed,
                            PvLine& child) {
  if (depth > 3 && !nullAllowed) {
    // Its results are discarded, only its killers, counters and nodes stay.
    // Its first window is the negated one with its bounds swapped:
    // intended, as is the full second one below alpha.
    int v = -alphaBeta(pos, -alpha, -beta, nodePly, depth - 3, child, 1);
    if (v <= alpha) alphaBeta(pos, -kInfinity, 1 - alpha, nodePly, depth - 3, child, 1);
    return false;
  }
  if (!nullAllowed) return false;
  ++searchState.nullMoveCalls;
  pos.color = -pos.color;
  int v = -alphaBeta(pos, -beta, 1 - beta, nodePly + 1, depth - settings.nullMoveReduction - 1, child, 0);
  pos.color = -pos.color;
  if (v >= beta && quiesceNode(pos, alpha, beta, 5, child, kNotInCheck) >= beta) {
    ++searchState.nullMoveCutoffs;
    return true;
  }
  return false;
}

// The root's move in progress, for the front end's reports.
inline void noteRootMove(const Move& m, int n, int i) {
  searchState.rootMoveCount = n;
  searchState.rootMoveNumber = n - i;
  searchState.currentRootMove = m;
}

// A quiet move that reached beta becomes the depth's first killer; a mate
// score, in White's favour only as in the quiescence search (intended), the
// first mate killer.
inline void noteCutoff(const Move& m, int v, int depth, int color, bool firstMove) {
  if (m.captured == 0) {
    killerSecondary[depth] = killerPrimary[depth];
    killerPrimary[depth] = m;
  }
  if (color * v > kMateThreshold) {
    mateKillerSecondary[depth] = mateKillerPrimary[depth];
    mateKillerPrimary[depth] = m;
  }
  ++(firstMove ? searchState.firstMoveCutoffs : searchState.otherCutoffs);
}

}  // namespace

int alphaBeta(Position& pos, int alpha, int beta, int nodePly, int depth, PvLine& pv, int internalSearch) {
  --searchState.searchCountdown;
  --searchState.progressCountdown;
  searchState.qsNodes = 0;
  pv.count = 0;
  if (alpha > kInfinity - 1 - searchPly) return alpha;
  if (nodeMustStop()) return alpha;
  if (nodePly == 0) recountStackKeys(pos);
  if (!internalSearch && drawn(pos)) return 0;
  if (depth < 0 || depth > 64) depth = 0;
  searchState.selDepth = searchState.iterationDepth;
  const bool inCheck = sideToMoveInCheck(pos);
  if (inCheck) depth += 1;
  const bool nullAllowed = !inCheck && !pos.nullMoveVeto && !pos.pawnRankFlag && !pos.epField;

  PvLine child;
  if (depth == 0 || stackFull(pos))
    return quiesceNode(pos, alpha, beta, searchState.iterationDepth, child, inCheck ? kInCheck : kNotInCheck);
  reportProgress();
  if (nullMoveCutsOff(pos, alpha, beta, nodePly, depth, nullAllowed, child)) return beta;

  MoveList moves;
  int n = generateMoves(pos, moves, inCheck);
  if (nodePly == 0) n = restrictRootMoves(moves, n);
  if (n == 0) return inCheck ? matedIn(searchPly) : 0;
  if (n == 1 && nodePly < 30 && searchPly > 4 && pos.hashkey != MoveStack[pos.ply - 4].keyAfter) depth += 1;
  // The generator has scored every move; the killers and the line add theirs.
  const bool sorted = !internalSearch && searchState.iterationDepth > 2 && n > 4;
  VisitOrder visit = sorted ? VisitOrder(moves, n, scoreNamedMoves(n, moves, pos, depth)) : VisitOrder(n);

  bool raised = false;
  for (int i = n - 1; i >= 0; --i) {
    const Move& m = moves[visit[i]];
    // The root by its ply: an extension changes the depth, and a null move
    // leaves searchPly where it was.
    if (nodePly == 0) noteRootMove(m, n, i);
    makeMove(pos, m);
    ++searchState.nodes;
    int v;
    if (!raised) {
      v = -alphaBeta(pos, -beta, -alpha, nodePly + 1, depth - 1, child, 0);
    } else {
      v = -alphaBeta(pos, -alpha - 1, -alpha, nodePly + 1, depth - 1, child, 0);
      if (v > alpha && alpha < beta) v = -alphaBeta(pos, -beta, -alpha, nodePly + 1, depth - 1, child, 0);
    }
    unmakeMove(pos);
    if (v >= beta) {
      noteCutoff(m, v, depth, pos.color, i == n - 1);
      return beta;
    }
    if (v > alpha) {
      alpha = v;
      searchState.lastImprovedScore = v;
      extendPv(pv, m, child);
      raised = true;
      if (searchPly == 0) searchState.rootBestMove = m;
    }
  }
  return alpha;
}

}  // namespace mavo
