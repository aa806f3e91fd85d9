#include <gtest/gtest.h>

#include "support/engine_process.h"

namespace mavo::test {
namespace {

TEST(ConsoleStartup, BannerPromptAndQuit) {
  RunResult r = runEngine("quit\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kConsoleStart);
}

}  // namespace
}  // namespace mavo::test
