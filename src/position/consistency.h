// The position record checked against itself: recomputes what make and
// unmake keep and compares.
#pragma once

#include "position/types.h"

namespace mavo {

// Consistency check of the record's invariants (board, piece list, slot
// addresses, counts, kings; the key unless `checkKey` is false). Returns
// nullptr when consistent, else a description of the first fault.
const char* checkPosition(const Position& pos, bool checkKey);

// Debug and sanitizer builds check the record after every make and unmake
// (MAVO_CHECK_POSITION) and stop at the first fault; Release builds never.
#ifdef MAVO_CHECK_POSITION
void failPositionCheck(const char* where, const char* fault);
inline void assertPosition(const Position& pos, bool checkKey, const char* where) {
  if (const char* fault = checkPosition(pos, checkKey)) failPositionCheck(where, fault);
}
#else
inline void assertPosition(const Position&, bool, const char*) {}
#endif

}  // namespace mavo
