// Display scaling without windows: designed figures turned into pixels of a DPI,
// lengths carried between DPIs, pictures doubled and resampled. The message
// dialog's figures at 150 % are in MessageDialogLayoutTest.
#include <gtest/gtest.h>

#include "platform/DpiScale.h"
#include "platform/Picture.h"

namespace tolvar {
namespace {

constexpr DpiScale k100{96};
constexpr DpiScale k150{144};
constexpr DpiScale k200{192};

TEST(DpiScale, RoundsHalfAwayFromZeroAsMulDiv) {
  EXPECT_EQ(k100.Scale(349), 349);
  EXPECT_EQ(k150.Scale(349), 524);  // 523.5
  EXPECT_EQ(k150.Scale(13), 20);    // 19.5
  EXPECT_EQ(k150.Scale(-11), -17);  // -16.5
  EXPECT_EQ(k150.Scale(440), 660);
  EXPECT_EQ(DpiScale{120}.Scale(1), 1);  // 1.25
  EXPECT_EQ(MulDivRounded(7, 1, 0), 0);
  EXPECT_EQ(MulDivRounded(5, 3, -2), -8);  // -7.5
}

TEST(DpiScale, FontsByPointsAndLinesInWholePixels) {
  EXPECT_EQ(k100.FontHeight(8), -11);  // the designed Tahoma and MS Sans Serif
  EXPECT_EQ(k100.FontHeight(12), -16);
  EXPECT_EQ(k150.FontHeight(8), -16);
  EXPECT_EQ(k200.FontHeight(12), -32);
  EXPECT_EQ(k100.LineThickness(), 1);
  EXPECT_EQ(k150.LineThickness(), 1);
  EXPECT_EQ(k200.LineThickness(), 2);
  EXPECT_EQ(DpiScale::Of(0).dpi, 96);  // a failed query
  EXPECT_EQ(DpiScale::Of(-5).dpi, 96);
}

TEST(DpiScale, StoredLengthsGoBackToTheirDesignedValue) {
  for (const int designed : {0, 1, 37, 70, 101, 160}) {
    for (const DpiScale scale : {k100, DpiScale{120}, k150, DpiScale{168}, k200}) {
      EXPECT_EQ(scale.Unscale(scale.Scale(designed)), designed) << designed << " at " << scale.dpi;
    }
  }
  EXPECT_EQ(k200.Rescale(105, k150), 140);
}

TEST(DpiLength, CarriesFromWhereItWasTakenSoRoundingDoesNotAddUp) {
  // 37 at 96 dpi: 56 at 144 (55.5), 74 at 192; step by step 56 -> 75 -> 38.
  DpiLength taken;
  int pixels = 37;
  pixels = taken.Carry(pixels, k100, k150);
  EXPECT_EQ(pixels, 56);
  pixels = taken.Carry(pixels, k150, k200);
  EXPECT_EQ(pixels, 74);
  pixels = taken.Carry(pixels, k200, k100);
  EXPECT_EQ(pixels, 37);
  // A length changed meanwhile (the user dragged, a text grew) is taken anew.
  pixels = taken.Carry(90, k100, k200);
  EXPECT_EQ(pixels, 180);
  EXPECT_EQ(taken.pixels, 90);
  EXPECT_EQ(taken.takenAt, k100);
}

// --- Pictures -------------------------------------------------------------------

Picture Filled(int width, int height, std::uint32_t pixel) {
  return Picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), pixel)};
}

TEST(Picture, AtItsOwnSizeThePixelsStayAsTheyAre) {
  Picture picture = Filled(3, 2, Argb(255, 1, 2, 3));
  picture.pixels[4] = 0;
  EXPECT_EQ(ScalePicture(picture, 3, 2).pixels, picture.pixels);
}

TEST(Picture, DownscalingAveragesTheCoveredArea) {
  // Red, green / blue, white halved to one pixel.
  const Picture square{2, 2, {Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255),
                              Argb(255, 255, 255, 255)}};
  EXPECT_EQ(ScalePicture(square, 1, 1).pixels, std::vector<std::uint32_t>{Argb(255, 128, 128, 128)});
  // 64 to 48 (2x pictures at 150 %): a uniform picture stays uniform and opaque.
  const Picture scaled = ScalePicture(Filled(64, 64, Argb(255, 200, 16, 16)), 48, 48);
  ASSERT_EQ(scaled.pixels.size(), 48u * 48u);
  for (const std::uint32_t pixel : scaled.pixels) ASSERT_EQ(pixel, Argb(255, 200, 16, 16));
}

TEST(Picture, TransparentNeighboursNeitherDarkenNorTintAnEdge) {
  // White beside a clear pixel whose colour bits are black: half covered, still white.
  const Picture edge{2, 1, {Argb(255, 255, 255, 255), 0}};
  EXPECT_EQ(ScalePicture(edge, 1, 1).pixels, std::vector<std::uint32_t>{Argb(128, 255, 255, 255)});
  EXPECT_EQ(ScalePicture(Filled(4, 4, 0), 3, 3).pixels, std::vector<std::uint32_t>(9, 0u));
}

TEST(Picture, AnUnreadablePictureStaysEmptyThroughEveryStep) {
  // Sizes without the pixels (what a picture that could not be read leaves) are empty
  // and are never read: every step gives an empty picture back.
  const Picture sizesOnly{16, 16, {}};
  EXPECT_TRUE(sizesOnly.Empty());
  EXPECT_TRUE(Picture({2, 2, {0, 0, 0}}).Empty());
  EXPECT_TRUE(ScalePicture(sizesOnly, 24, 24).Empty());
  EXPECT_TRUE(ScaleStrip(Picture{64, 16, {}}, 4, 24, 24).Empty());
  EXPECT_TRUE(DoubledPicture(sizesOnly).Empty());
  EXPECT_TRUE(DoubledStrip(sizesOnly, 4).Empty());
  EXPECT_TRUE(OnBackground(sizesOnly, 0xFFFFFF).Empty());
  EXPECT_FALSE(Filled(1, 1, 0).Empty());
}

TEST(Picture, StripImagesAreScaledEachOnTheirOwn) {
  // Two 3 x 1 images, red and blue, scaled to 2 x 1 each: no purple at the seam.
  Picture strip = Filled(6, 1, Argb(255, 255, 0, 0));
  for (int x = 3; x < 6; ++x) strip.pixels[static_cast<std::size_t>(x)] = Argb(255, 0, 0, 255);
  const Picture scaled = ScaleStrip(strip, 2, 2, 1);
  EXPECT_EQ(scaled.pixels, (std::vector<std::uint32_t>{Argb(255, 255, 0, 0), Argb(255, 255, 0, 0),
                                                       Argb(255, 0, 0, 255), Argb(255, 0, 0, 255)}));
}

TEST(Picture, OnASurfaceClearPixelsTakeItsColourAndHalfCoveredOnesMix) {
  const Picture picture{3, 1, {0, Argb(255, 10, 20, 30), Argb(128, 255, 255, 255)}};
  const Picture shown = OnBackground(picture, 0x102030);
  EXPECT_EQ(shown.pixels, (std::vector<std::uint32_t>{Argb(255, 0x10, 0x20, 0x30), Argb(255, 10, 20, 30),
                                                      Argb(255, 136, 144, 152)}));
}

TEST(Picture, DoublingMakesSlantedEdgesFinerStepsWithoutNewColours) {
  constexpr std::uint32_t R = Argb(255, 255, 0, 0);
  constexpr std::uint32_t W = Argb(255, 255, 255, 255);
  // A red diagonal step on white: the corners where two red neighbours meet turn red.
  const Picture step{2, 2, {R, W, R, R}};
  EXPECT_EQ(DoubledPicture(step).pixels, (std::vector<std::uint32_t>{R, R, W, W,  //
                                                                     R, R, R, W,  //
                                                                     R, R, R, R,  //
                                                                     R, R, R, R}));
  // A uniform picture and a lone pixel only grow: four pixels each.
  const Picture lone{3, 3, {W, W, W, W, R, W, W, W, W}};
  const Picture doubled = DoubledPicture(lone);
  ASSERT_EQ(doubled.width, 6);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(doubled.At(x, y), (x / 2 == 1 && y / 2 == 1) ? R : W) << x << "," << y;
  }
}

TEST(Picture, StripImagesAreDoubledEachOnTheirOwn) {
  // Red | blue: at the seam each image sees only itself, so no corner takes the other's colour.
  constexpr std::uint32_t R = Argb(255, 255, 0, 0);
  constexpr std::uint32_t B = Argb(255, 0, 0, 255);
  const Picture strip{2, 2, {R, B, B, R}};
  const Picture doubled = DoubledStrip(strip, 2);
  ASSERT_EQ(doubled.width, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(doubled.At(x, y), strip.At(x / 2, y / 2)) << x << "," << y;
  }
}

TEST(Picture, TheSourceIsTheSmallestDrawnSizeAtLeastAsLarge) {
  EXPECT_EQ(SourceFactorFor(32, 32, 2), 1);
  EXPECT_EQ(SourceFactorFor(32, 40, 2), 2);  // 125 %: down from the doubled 64
  EXPECT_EQ(SourceFactorFor(32, 48, 2), 2);
  EXPECT_EQ(SourceFactorFor(32, 64, 2), 2);
  EXPECT_EQ(SourceFactorFor(32, 80, 2), 2);  // 250 %: the largest there is
  EXPECT_EQ(SourceFactorFor(16, 12, 2), 1);
}

}  // namespace
}  // namespace tolvar
