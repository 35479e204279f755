// The wait window's step rules: the pendulum's frames and the steps that pump.
#include "archive/WaitSteps.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvar {
namespace {

TEST(WaitPendulum, SwingsZeroOneTwoOneZero) {
  PendulumFrames frames;
  std::string seen = "0";
  for (int i = 0; i < 8; ++i) {
    const auto old = frames.Advance();
    EXPECT_EQ(old, seen.back() - '0');
    seen += static_cast<char>('0' + frames.index);
  }
  EXPECT_EQ(seen, "012101210");
}

TEST(WaitPumping, EveryIntervalthStepAndTheWrapToZero) {
  EXPECT_TRUE(IsPumpStep(5, 5));
  EXPECT_FALSE(IsPumpStep(6, 5));
  EXPECT_TRUE(IsPumpStep(123, 0));  // interval 0: every step
  EXPECT_FALSE(IsPumpStep(65535, 7));
  EXPECT_TRUE(IsPumpStep(0, 7));    // step 65536 wraps to 0
}

}  // namespace
}  // namespace tolvar
