// TNGauge: a horizontal percentage bar. The filled part in ForeColor, the rest in
// BackColor, an optional one-pixel border, and the whole percentage written in
// the middle, each letter in the inverse of the colour beneath it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "archive/GaugeGeometry.h"
#include "platform/Window_win.h"

namespace tolvar {

enum class TBorderStyle : std::uint8_t { bsNone = 0, bsSingle = 1 };

class TNGauge : public Window {
 public:
  // A new gauge is 100 × 100 pixels unless a size is given.
  TNGauge(HWND parent, int left, int top, int width = 100, int height = 100);

  bool ShowText() const noexcept { return showText_; }
  TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
  TColor ForeColor() const noexcept { return foreColor_; }
  TColor BackColor() const noexcept { return backColor_; }
  std::int32_t MinValue() const noexcept { return minValue_; }
  std::int32_t MaxValue() const noexcept { return maxValue_; }
  std::int32_t Progress() const noexcept { return progress_; }
  HFONT Font() const noexcept { return font_; }

  // Each setter stores a changed value and repaints at once; an equal value does nothing.
  void SetShowText(bool value);
  void SetBorderStyle(TBorderStyle value);
  void SetForeColor(TColor value);
  void SetBackColor(TColor value);
  void SetMinValue(std::int32_t value);
  void SetMaxValue(std::int32_t value);
  // The font of the percentage text; not owned.
  void SetFont(HFONT font);

  // Values outside MinValue..MaxValue are ignored (not clamped). When the whole
  // percentage changes, the bar is painted at once, without waiting for a paint
  // message; a change within the same percentage draws nothing.
  void SetProgress(std::int32_t value);

  std::int32_t PercentDone() const noexcept;

  // Paints the whole bar onto a device context whose origin is the control's
  // client origin.
  void PaintTo(HDC dc) const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Refresh();

  bool showText_ = true;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  std::int32_t minValue_ = 0;
  std::int32_t maxValue_ = 100;
  std::int32_t progress_ = 0;
  HFONT font_ = nullptr;
};

// The RGB value of a colour, system colours looked up.
COLORREF ColorToRGB(TColor color);

}  // namespace tolvar
