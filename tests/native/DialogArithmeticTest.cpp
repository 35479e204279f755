// The message dialog's figures that need no window: panel heights, button rows,
// the countdown's seconds and deadline, and the colour manager's colours.
#include <gtest/gtest.h>

#include "dialogs/ColorManager.h"
#include "dialogs/Countdown.h"
#include "dialogs/MessageDialogLayout.h"

namespace tolvar {
namespace {

using namespace dialog_layout;

TEST(DialogLayout, MessagePanelIsAtLeast71) {
  EXPECT_EQ(MessagePanelHeight(13), 71);  // one line: 41 + 15 + 13 = 69, raised
  EXPECT_EQ(MessagePanelHeight(26), 82);  // two lines
  EXPECT_EQ(MessagePanelHeight(0), 71);
  EXPECT_EQ(DetailPanelHeightNeeded(13), 37);
  EXPECT_EQ(DetailPanelHeightNeeded(39), 51);
}

TEST(DialogLayout, PanelsStackInTheirOrderWhateverIsShown) {
  PanelStack panels;
  panels.message = 71;
  EXPECT_EQ(ClientHeight(panels), 71 + 45);
  panels.taskButtons = 100;
  panels.detailMessage = 37;
  panels.itemTree = 20;  // below the minimum: counted as 70
  EXPECT_EQ(ClientHeight(panels), 71 + 100 + 45 + 37 + 70);
  const PanelTops tops = ArrangePanels(panels);
  EXPECT_EQ(tops.message, 0);
  EXPECT_EQ(tops.taskButtons, 71);
  EXPECT_EQ(tops.buttons, 171);
  EXPECT_EQ(tops.detailMessage, 216);
  EXPECT_EQ(tops.itemTree, 253);
  panels.taskButtons = -1;
  panels.detailMessage = -1;
  const PanelTops fewer = ArrangePanels(panels);
  EXPECT_EQ(fewer.taskButtons, -1);
  EXPECT_EQ(fewer.buttons, 71);
  EXPECT_EQ(fewer.detailMessage, -1);
  EXPECT_EQ(fewer.itemTree, 116);
}

TEST(DialogLayout, ButtonsRightAlignedFivePixelsApart) {
  const ButtonRow same = ArrangeButtons({76, 90}, true, 104);
  EXPECT_EQ(same.lefts, (std::vector<int>{5, 114}));
  EXPECT_EQ(same.widths, (std::vector<int>{104, 104}));
  EXPECT_EQ(same.panelWidth, 5 + 104 + 5 + 104 + 5 + 15);  // 20 pixels after the last button
  const ButtonRow natural = ArrangeButtons({76, 90}, false, 104);
  EXPECT_EQ(natural.lefts, (std::vector<int>{5, 86}));
  EXPECT_EQ(natural.widths, (std::vector<int>{76, 90}));
  EXPECT_EQ(ArrangeButtons({}, true, 76).panelWidth, 20);
  EXPECT_EQ(ButtonWidthForText(90), 104);
}

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

TEST(ColorArithmetic, MixesRoundEachChannel) {
  EXPECT_EQ(MixWithWhite20(Rgb(0, 45, 150)), Rgb(51, 87, 171));
  EXPECT_EQ(MixWithWhite20(Rgb(255, 255, 255)), Rgb(255, 255, 255));
  EXPECT_EQ(MixWithWhite60(Rgb(0, 0, 128)), Rgb(153, 153, 204));  // 0.4 x 128 = 51.2
  EXPECT_EQ(Darken60(Rgb(49, 106, 197)), Rgb(29, 64, 118));      // 29.4, 63.6, 118.2
}

TEST(ColorArithmetic, SeparatorColourOfTheThreeSchemesAndTheClassicLook) {
  ColorEnvironment luna;
  luna.themeActive = true;
  luna.themeFileName = "C:\\WINDOWS\\resources\\Themes\\Luna\\Luna.msstyles";
  luna.colorSchemeName = "NormalColor";
  EXPECT_EQ(ComputeInterfaceColors(luna)[kSeparatorColorNumber - 1], Rgb(125, 148, 201));
  luna.colorSchemeName = "homestead";
  EXPECT_EQ(ComputeInterfaceColors(luna)[kSeparatorColorNumber - 1], Rgb(185, 197, 173));
  luna.colorSchemeName = "Metallic";
  EXPECT_EQ(ComputeInterfaceColors(luna)[kSeparatorColorNumber - 1], Rgb(188, 188, 200));

  // Another scheme, another style, or visual styles off: the highlight colour.
  ColorEnvironment other = luna;
  other.colorSchemeName = "Royale";
  other.highlight = Rgb(0, 0, 0);
  EXPECT_EQ(BaseColor(other), Rgb(0, 0, 0));
  EXPECT_EQ(ComputeInterfaceColors(other)[kSeparatorColorNumber - 1], Rgb(125, 125, 125));
  other = luna;
  other.themeFileName = "C:\\Themes\\Aero\\Aero.msstyles";
  EXPECT_EQ(BaseColor(other), other.highlight);
  other = luna;
  other.themeActive = false;
  EXPECT_EQ(BaseColor(other), other.highlight);
}

TEST(ColorArithmetic, TheFixedColoursAndTheEightBitFallback) {
  ColorEnvironment environment;
  environment.highlight = Rgb(49, 106, 197);
  const InterfaceColors deep = ComputeInterfaceColors(environment);
  EXPECT_EQ(deep[3], MixWithWhite60(environment.highlight));
  EXPECT_EQ(deep[5], Darken60(environment.highlight));
  EXPECT_EQ(deep[6], Rgb(193, 191, 180));
  EXPECT_EQ(deep[7], Rgb(232, 229, 213));
  EXPECT_EQ(deep[8], environment.highlight);
  EXPECT_EQ(deep[15], Rgb(242, 240, 228));
  EXPECT_EQ(deep[16], Rgb(128, 128, 128));
  environment.bitsPerPixel = 8;
  const InterfaceColors palette = ComputeInterfaceColors(environment);
  EXPECT_EQ(palette[6], Rgb(192, 192, 192));
  EXPECT_EQ(palette[7], Rgb(192, 192, 192));
}

}  // namespace
}  // namespace tolvar
