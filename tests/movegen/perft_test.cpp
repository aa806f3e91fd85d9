#include <fstream>
#include <sstream>

#include "movegen/perft.h"
#include "position/position_fixture.h"

namespace mavo {
namespace {

using Perft = PositionTest;

// Every line of the Chess960 file: a FEN with file-letter castling, then
// ";D<depth> <count>" entries from an independent program.
TEST_F(Perft, Chess960Positions) {
  chess960Mode = 1;
  std::ifstream file(MAVO_DATA_DIR "/chess960.epd");
  ASSERT_TRUE(file) << "data/chess960.epd missing";
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.empty()) continue;
    ++lines;
    SCOPED_TRACE(line);
    Position pos = load(line.substr(0, line.find(';')));
    std::istringstream entries(line.substr(line.find(';')));
    std::string depth;
    uint64_t expected;
    while (entries >> depth >> expected) {
      int d = depth[2] - '0';
      EXPECT_EQ(perft(pos, d), expected) << "depth " << d;
    }
    EXPECT_EQ(stateDiff(pos, load(line.substr(0, line.find(';')))), "");
  }
  EXPECT_EQ(lines, 23);
}

}  // namespace
}  // namespace mavo
