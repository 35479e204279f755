#include "archive/GaugeGeometry.h"

#include <algorithm>

#include "platform/Utf.h"

namespace tolvar {

std::int32_t PercentDone(std::int32_t minValue, std::int32_t maxValue, std::int32_t progress) {
  if (minValue == maxValue) return 0;
  const std::int64_t scaled = (static_cast<std::int64_t>(progress) - minValue) * 100;
  const std::int64_t range = static_cast<std::int64_t>(maxValue) - minValue;
  const double quotient = static_cast<double>(scaled) / static_cast<double>(range);
  // Truncation towards zero; the quotient stays within ±(2^31 × 100), well inside double.
  const auto percent = static_cast<std::int64_t>(quotient);
  if (percent > 100) return 100;
  return static_cast<std::int32_t>(std::max<std::int64_t>(percent, INT32_MIN));
}

std::string PercentText(std::int32_t percent) { return IntToStr(percent) + "%"; }

GaugeLayout ComputeGaugeLayout(int clientWidth, int clientHeight, bool border, std::int32_t percent, int textWidth,
                               int textHeight) {
  GaugeLayout layout;
  GaugeRect r{0, 0, clientWidth, clientHeight};
  if (border) r = GaugeRect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  layout.inner = r;
  layout.span = r.right - r.left + 1;
  layout.filled = static_cast<int>(static_cast<double>(static_cast<std::int64_t>(percent) * layout.span) / 100.0);
  // Text centred over the whole bar; both divisions truncate towards zero.
  layout.textX = r.left + (r.right - r.left + 1 - textWidth) / 2;
  layout.textY = r.top + (r.bottom - r.top + 1 - textHeight) / 2;

  const int filled = std::max(layout.filled, 0);
  if (filled > 0) {
    layout.hasFilled = true;
    layout.filledPart = GaugeRect{r.left, r.top, r.left + filled, r.bottom};
  }
  if (filled < layout.span) {
    layout.hasEmpty = true;
    layout.emptyPart = GaugeRect{r.left + filled, r.top, r.right, r.bottom};
  }
  return layout;
}

}  // namespace tolvar
