// The move-generator test suite on any perftsuite.epd, its depths capped at
// 2 so that a run stays short; the position it leaves is consistent.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz_platform.h"
#include "movegen/attack.h"
#include "movegen/perft.h"
#include "position/position.h"

using namespace mavo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::setUp();
  buildAlignmentTable();
  initKeyTables();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> suite(data, data + size);
  for (size_t i = 0; i + 2 < size; ++i)
    if (suite[i] == ';' && suite[i + 1] == 'D' && suite[i + 2] > '2' && suite[i + 2] <= '9') suite[i + 2] = '2';
  std::FILE* f = std::fopen("perftsuite.epd", "wb");
  if (!f || std::fwrite(suite.data(), 1, size, f) != size || std::fclose(f) != 0) std::abort();
  chess960Mode = 0;
  Position pos;
  initPosition(pos);
  readFen(pos, startFen);
  runTestSuite(pos);
  if (checkPosition(pos, false)) std::abort();  // perft's unmake leaves a later key
  return 0;
}
