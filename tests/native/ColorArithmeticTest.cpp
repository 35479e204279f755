// The colour manager's arithmetic: the mixes, and the interface colours of the
// visual styles, the classic look and an 8-bit desktop.
#include "dialogs/ColorManager.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

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
