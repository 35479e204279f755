#include "archive/GaugeGeometry.h"

#include <gtest/gtest.h>

#include <climits>

namespace tolvar {
namespace {

TEST(GaugePercentDone, TruncatesWithinTheRangeAndCapsAtAHundred) {
  EXPECT_EQ(PercentDone(0, 100, 50), 50);
  EXPECT_EQ(PercentDone(0, 0, 0), 0);        // empty range
  EXPECT_EQ(PercentDone(7, 7, 100), 0);
  EXPECT_EQ(PercentDone(0, 1000, 1), 0);     // 0.1 % and 0.2 % both show 0
  EXPECT_EQ(PercentDone(0, 1000, 2), 0);
  EXPECT_EQ(PercentDone(0, 1000, 9), 0);
  EXPECT_EQ(PercentDone(0, 1000, 10), 1);
  EXPECT_EQ(PercentDone(0, 3, 2), 66);
  EXPECT_EQ(PercentDone(0, 40, 40), 100);
  EXPECT_EQ(PercentDone(0, 40, 80), 100);    // maximum lowered below the value
  EXPECT_EQ(PercentDone(10, 20, 5), -50);    // no lower bound
  EXPECT_EQ(PercentDone(10, 20, 9), -10);
}

TEST(GaugePercentDone, WideRangesDoNotOverflow) {
  // (progress - min) × 100 leaves 32 bits from 21474837 on.
  EXPECT_EQ(PercentDone(0, 100000000, 21474837), 21);
  EXPECT_EQ(PercentDone(0, INT_MAX, INT_MAX), 100);
  EXPECT_EQ(PercentDone(INT_MIN, INT_MAX, 0), 50);
  EXPECT_EQ(PercentDone(INT_MIN, INT_MAX, INT_MIN), 0);
}

TEST(GaugeLayout, HalfOfA351By16GaugeWithBorder) {
  const GaugeLayout layout = ComputeGaugeLayout(351, 16, true, 50, 21, 13);
  EXPECT_EQ(layout.inner, (GaugeRect{1, 1, 350, 15}));
  EXPECT_EQ(layout.span, 350);
  EXPECT_EQ(layout.filled, 175);
  ASSERT_TRUE(layout.hasFilled);
  EXPECT_EQ(layout.filledPart, (GaugeRect{1, 1, 176, 15}));  // pixel columns 1..175
  ASSERT_TRUE(layout.hasEmpty);
  EXPECT_EQ(layout.emptyPart, (GaugeRect{176, 1, 350, 15}));
  EXPECT_EQ(layout.textX, 1 + (350 - 21) / 2);
  EXPECT_EQ(layout.textY, 1 + (15 - 13) / 2);
  EXPECT_EQ(PercentText(50), "50%");
}

TEST(GaugeLayout, FullReachesOnePixelPastTheInnerRectangleAndEmptyHasNoFill) {
  const GaugeLayout full = ComputeGaugeLayout(351, 16, true, 100, 27, 13);
  EXPECT_TRUE(full.hasFilled);
  EXPECT_EQ(full.filledPart, (GaugeRect{1, 1, 351, 15}));
  EXPECT_FALSE(full.hasEmpty);

  const GaugeLayout none = ComputeGaugeLayout(351, 16, true, 0, 15, 13);
  EXPECT_FALSE(none.hasFilled);
  EXPECT_EQ(none.emptyPart, (GaugeRect{1, 1, 350, 15}));

  // Without a border the bar starts at the client edge.
  const GaugeLayout plain = ComputeGaugeLayout(100, 10, false, 10, 0, 0);
  EXPECT_EQ(plain.span, 101);
  EXPECT_EQ(plain.filledPart, (GaugeRect{0, 0, 10, 10}));
  EXPECT_EQ(plain.emptyPart, (GaugeRect{10, 0, 100, 10}));
}

TEST(GaugeLayout, ANegativePercentageStaysInsideTheBar) {
  const GaugeLayout layout = ComputeGaugeLayout(351, 16, true, -50, 27, 13);
  EXPECT_FALSE(layout.hasFilled);
  ASSERT_TRUE(layout.hasEmpty);
  EXPECT_EQ(layout.emptyPart, (GaugeRect{1, 1, 350, 15}));
}

TEST(GaugeColors, TextIsTheInverseOfThePartBeneath) {
  EXPECT_EQ(InvertedTextColor(clBlack), clWhite);
  EXPECT_EQ(InvertedTextColor(clWhite), clBlack);
  EXPECT_EQ(InvertedTextColor(clNavy), 0x7FFFFFu);
}

}  // namespace
}  // namespace tolvar
