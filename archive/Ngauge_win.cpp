#include "archive/Ngauge_win.h"

#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

RECT ToRect(const GaugeRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void FillPart(HDC dc, const GaugeRect& part, COLORREF color) {
  const UniqueBrush brush(::CreateSolidBrush(color));
  const RECT rect = ToRect(part);
  ::FillRect(dc, &rect, brush.get());
}

// The text drawn in one colour, clipped to one part of the bar.
void DrawTextPart(HDC dc, const GaugeLayout& layout, const std::wstring& text, const GaugeRect& part,
                  COLORREF partColor) {
  const RECT clip = ToRect(part);
  ::SetTextColor(dc, InvertedTextColor(partColor));
  ::ExtTextOutW(dc, layout.textX, layout.textY, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  return IsSystemColor(color) ? ::GetSysColor(static_cast<int>(color & 0xFF)) : static_cast<COLORREF>(color & 0xFFFFFF);
}

TNGauge::TNGauge(HWND parent, int left, int top, int width, int height) {
  // No background brush: the paint covers every pixel.
  CreateWindowObject({.name = L"TNGauge", .background = nullptr},
                     {.style = WS_CHILD | WS_VISIBLE, .left = left, .top = top, .clientWidth = width,
                      .clientHeight = height, .parent = parent});
}

void TNGauge::Refresh() {
  if (!Exists()) return;
  ::InvalidateRect(Handle(), nullptr, FALSE);
  ::UpdateWindow(Handle());
}

void TNGauge::SetShowText(bool value) {
  if (value == showText_) return;
  showText_ = value;
  Refresh();
}

void TNGauge::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Refresh();
}

void TNGauge::SetForeColor(TColor value) {
  if (value == foreColor_) return;
  foreColor_ = value;
  Refresh();
}

void TNGauge::SetBackColor(TColor value) {
  if (value == backColor_) return;
  backColor_ = value;
  Refresh();
}

void TNGauge::SetMinValue(std::int32_t value) {
  if (value == minValue_) return;
  minValue_ = value;
  Refresh();
}

void TNGauge::SetMaxValue(std::int32_t value) {
  if (value == maxValue_) return;
  maxValue_ = value;
  Refresh();
}

void TNGauge::SetFont(HFONT font) {
  if (font == font_) return;
  font_ = font;
  Refresh();
}

std::int32_t TNGauge::PercentDone() const noexcept { return tolvar::PercentDone(minValue_, maxValue_, progress_); }

void TNGauge::SetProgress(std::int32_t value) {
  if (value == progress_ || value < minValue_ || value > maxValue_) return;
  const std::int32_t before = PercentDone();
  progress_ = value;
  if (PercentDone() != before && Exists()) {
    // Drawn now: a caller that steps many times between message pumps still
    // sees every new percentage.
    const WindowDC dc(Handle());
    PaintTo(dc.get());
  }
}

void TNGauge::PaintTo(HDC dc) const {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const bool border = borderStyle_ == TBorderStyle::bsSingle;
  if (border) {
    const UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT)));
    const SelectObjectScope usePen(dc, pen.get());
    const SelectObjectScope clearBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
  }

  const std::int32_t percent = PercentDone();
  const std::wstring text = Utf8ToUtf16(PercentText(percent));
  const SelectObjectScope useFont(dc, font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  const GaugeLayout layout =
      ComputeGaugeLayout(client.right - client.left, client.bottom - client.top, border, percent, extent.cx, extent.cy);

  const COLORREF fore = ColorToRGB(foreColor_);
  const COLORREF back = ColorToRGB(backColor_);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  if (layout.hasFilled) {
    FillPart(dc, layout.filledPart, fore);
    if (showText_) DrawTextPart(dc, layout, text, layout.filledPart, fore);
  }
  if (layout.hasEmpty) {
    FillPart(dc, layout.emptyPart, back);
    if (showText_) DrawTextPart(dc, layout, text, layout.emptyPart, back);
  }
  ::SetBkMode(dc, oldMode);
}

LRESULT TNGauge::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = ::BeginPaint(Handle(), &paint);
      PaintTo(dc);
      ::EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Refresh();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace tolvar
