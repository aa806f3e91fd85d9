#include <gtest/gtest.h>

#include "frontend/console_reports.h"

namespace mavo::test {
namespace {

// Seconds below 59 with two decimals; above, minutes and seconds with the
// seconds' leading zero.
TEST(Reports, ElapsedTimeForms) {
  const std::pair<double, const char*> cases[] = {
      {3.5, "   3.50"}, {58.99, "  58.99"}, {59.5, "   0:59"}, {61.0, "   1:01"}, {671.9, "  11:11"},
  };
  for (auto [seconds, text] : cases) {
    testing::internal::CaptureStdout();
    printElapsed(seconds);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), text) << seconds;
  }
}

}  // namespace
}  // namespace mavo::test
