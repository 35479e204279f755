// The message dialog's countdown as arithmetic: the whole seconds its button
// shows and the deadline, on tick counts of any size.
#include "dialogs/Countdown.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(DialogCountdown, WholeSecondsCountDownAndTheButtonIsPressedAtTheDeadline) {
  const Countdown countdown(1000, 10000);
  EXPECT_EQ(countdown.SecondsShown(1000), 11);  // 10000 / 1000 + 1
  EXPECT_EQ(countdown.SecondsShown(1001), 10);
  EXPECT_EQ(countdown.SecondsShown(2000), 10);
  EXPECT_EQ(countdown.SecondsShown(2001), 9);
  EXPECT_EQ(countdown.SecondsShown(10500), 1);
  EXPECT_FALSE(countdown.Expired(10999));
  EXPECT_TRUE(countdown.Expired(11000));
  EXPECT_EQ(countdown.SecondsShown(11400), 1);  // truncated towards zero
  EXPECT_EQ(CountdownCaption("OK", 5), "OK [5 s]");
}

TEST(DialogCountdown, TickCountsBeyond31And32BitsNeitherFireAtOnceNorNever) {
  // A 32-bit signed deadline would be negative here and fire on the first tick.
  const std::uint64_t afterTwentyFiveDays = 0x80000000ull + 123;
  const Countdown late(afterTwentyFiveDays, 5000);
  EXPECT_FALSE(late.Expired(afterTwentyFiveDays + 100));
  EXPECT_EQ(late.SecondsShown(afterTwentyFiveDays + 100), 5);
  EXPECT_TRUE(late.Expired(afterTwentyFiveDays + 5000));
  // A 32-bit tick count wraps after 49.7 days; the deadline would never come.
  const std::uint64_t beforeWrap = 0xFFFFFFFFull - 1000;
  const Countdown wrapping(beforeWrap, 3000);
  EXPECT_FALSE(wrapping.Expired(beforeWrap + 2999));
  EXPECT_TRUE(wrapping.Expired(beforeWrap + 3000));
}

}  // namespace
}  // namespace tolvar
