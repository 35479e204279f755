// TNGauge under Wine: its defaults, the Progress rules, and the pixels it paints.
#include "archive/Ngauge_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/Controls_win.h"
#include "platform/Handle_win.h"

namespace tolvar {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kNavyInverse = 0x7FFFFF;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class Host : public Window {
 public:
  Host() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestGaugeHost";
    CreateWindowObject(windowClass, CreateSpec{.caption = "gauge", .style = WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                               .left = 20, .top = 20, .clientWidth = 400, .clientHeight = 120});
    ::UpdateWindow(Handle());
  }
};

// The gauge painted into a bitmap of its client size, pixel by pixel.
class Rendered {
 public:
  explicit Rendered(const TNGauge& gauge) {
    RECT client{};
    ::GetClientRect(gauge.Handle(), &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
    void* bits = nullptr;
    const WindowDC screen(nullptr);
    const UniqueBitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HDC memory = ::CreateCompatibleDC(screen.get());
    {
      const SelectObjectScope select(memory, bitmap.get());
      gauge.PaintTo(memory);
      ::GdiFlush();
      const auto* pixels = static_cast<const std::uint32_t*>(bits);
      pixels_.assign(pixels, pixels + width_ * height_);
    }
    ::DeleteDC(memory);
  }
  COLORREF At(int x, int y) const {
    const std::uint32_t bgra = pixels_[static_cast<std::size_t>(y * width_ + x)];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
  }
  // Whether the columns left..right (inclusive) of rows top..bottom hold the colour.
  bool Contains(int left, int right, int top, int bottom, COLORREF color) const {
    for (int y = top; y <= bottom; ++y)
      for (int x = left; x <= right; ++x)
        if (At(x, y) == color) return true;
    return false;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

struct GaugeOnHost {
  Host host;
  UniqueFont font = CreateFontByHeight(L"MS Sans Serif", -11);
  TNGauge gauge{host.Handle(), 5, 45, 351, 16};
  GaugeOnHost() { gauge.SetFont(font.get()); }
};

TEST(Gauge, DefaultsOfANewGauge) {
  Host host;
  TNGauge gauge(host.Handle(), 0, 0);
  RECT client{};
  ::GetClientRect(gauge.Handle(), &client);
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 100);
  EXPECT_TRUE(gauge.ShowText());
  EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsSingle);
  EXPECT_EQ(gauge.ForeColor(), clBlack);
  EXPECT_EQ(gauge.BackColor(), clWhite);
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  EXPECT_EQ(gauge.Progress(), 0);
}

TEST(Gauge, HalfOfA351By16GaugeInNavyWithInvertedText) {
  GaugeOnHost g;
  g.gauge.SetForeColor(clNavy);
  g.gauge.SetProgress(50);
  const Rendered bar(g.gauge);
  const COLORREF frame = ::GetSysColor(COLOR_BTNTEXT);
  EXPECT_EQ(bar.At(0, 0), frame);
  EXPECT_EQ(bar.At(350, 8), frame);
  EXPECT_EQ(bar.At(200, 15), frame);
  // Row 1 lies above the text: columns 1..175 filled, 176..349 empty.
  for (int x = 1; x <= 175; ++x) ASSERT_EQ(bar.At(x, 1), kNavy) << x;
  for (int x = 176; x <= 349; ++x) ASSERT_EQ(bar.At(x, 1), kWhite) << x;
  // "50%" straddles the edge: each letter part in the inverse of its background.
  EXPECT_TRUE(bar.Contains(1, 175, 2, 14, kNavyInverse));
  EXPECT_FALSE(bar.Contains(1, 175, 2, 14, kBlack));
  EXPECT_TRUE(bar.Contains(176, 349, 2, 14, kBlack));
  EXPECT_FALSE(bar.Contains(176, 349, 2, 14, kNavyInverse));
}

TEST(Gauge, DefaultColoursFullBarAndEmptyRange) {
  GaugeOnHost g;
  g.gauge.SetProgress(50);
  const Rendered half(g.gauge);
  EXPECT_TRUE(half.Contains(1, 175, 2, 14, kWhite));  // white letters on the black part
  EXPECT_TRUE(half.Contains(176, 349, 2, 14, kBlack));

  g.gauge.SetProgress(100);
  const Rendered full(g.gauge);
  EXPECT_EQ(full.At(349, 1), kBlack);
  EXPECT_EQ(full.At(350, 1), kBlack);  // the fill reaches onto the right border

  g.gauge.SetForeColor(clNavy);
  g.gauge.SetMinValue(100);  // empty range: 0 %
  EXPECT_EQ(g.gauge.PercentDone(), 0);
  const Rendered empty(g.gauge);
  EXPECT_FALSE(empty.Contains(1, 349, 1, 14, kNavy));
  EXPECT_EQ(empty.At(1, 1), kWhite);
  EXPECT_TRUE(empty.Contains(1, 349, 2, 14, kBlack));  // the text "0%"
}

TEST(Gauge, ProgressOutsideTheRangeIsIgnoredAndAChangedPercentPaintsAtOnce) {
  GaugeOnHost g;
  g.gauge.SetProgress(40);
  g.gauge.SetProgress(101);
  g.gauge.SetProgress(-1);
  EXPECT_EQ(g.gauge.Progress(), 40);
  g.gauge.SetMaxValue(1000);
  g.gauge.SetProgress(1);
  ::UpdateWindow(g.host.Handle());

  // Mark the screen, then change Progress without pumping any message.
  const WindowDC dc(g.gauge.Handle());
  const auto mark = [&] {
    const UniqueBrush magenta(::CreateSolidBrush(kMagenta));
    const RECT all{0, 0, 351, 16};
    ::FillRect(dc.get(), &all, magenta.get());
  };
  mark();
  g.gauge.SetProgress(2);  // still 0 %: nothing drawn
  EXPECT_EQ(::GetPixel(dc.get(), 200, 1), kMagenta);
  g.gauge.SetProgress(9);
  EXPECT_EQ(::GetPixel(dc.get(), 200, 1), kMagenta);
  g.gauge.SetProgress(10);  // 1 %: drawn at once
  EXPECT_EQ(::GetPixel(dc.get(), 200, 1), kWhite);
  EXPECT_EQ(::GetPixel(dc.get(), 2, 1), kBlack);

  g.gauge.SetMaxValue(5);  // lowered below Progress, which stays
  EXPECT_EQ(g.gauge.Progress(), 10);
  EXPECT_EQ(g.gauge.PercentDone(), 100);
}

}  // namespace
}  // namespace tolvar
