#include <gtest/gtest.h>

#include "position/position.h"

namespace mavo {
namespace {

TEST(KeyGenerator, FirstDrawsFromStateOne) {
  keyRandom = 1;
  EXPECT_EQ(nextKeyRandom(), 41u);
  EXPECT_EQ(nextKeyRandom(), 18467u);
  EXPECT_EQ(nextKeyRandom(), 6334u);
  EXPECT_EQ(nextKeyRandom(), 26500u);
  EXPECT_EQ(nextKeyRandom(), 19169u);
}

}  // namespace
}  // namespace mavo
