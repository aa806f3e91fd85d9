// The start-up tables every unit test runs on, built once for the whole
// run as the program builds them: the alignment table, then the key tables
// from the generator's first draws.
#pragma once

#include "movegen/attack.h"
#include "position/key.h"

namespace mavo::test {

inline void buildStartUpTables() {
  static const bool built = [] {
    buildAlignmentTable();
    keyRandom = 1;
    initKeyTables();
    return true;
  }();
  (void)built;
}

}  // namespace mavo::test
