// The arithmetic of the percentage bar (TNGauge): the whole percentage of a value
// in its range, and where the bar, its two parts and its centred text go. No
// window code here, so the numbers are tested natively.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Color.h"

namespace tolvar {

// The colour that letters take over a part painted in `rgb`: all 24 bits inverted.
constexpr TColor InvertedTextColor(TColor rgb) { return (rgb ^ 0xFFFFFFu) & 0xFFFFFFu; }

// Whole percentage of `progress` between `minValue` (0 %) and `maxValue` (100 %),
// truncated towards zero. An empty range gives 0; above 100 gives 100; below 0 is
// kept. The product with 100 is formed in 64 bits, so wide ranges do not overflow.
std::int32_t PercentDone(std::int32_t minValue, std::int32_t maxValue, std::int32_t progress);

// The text the bar shows: the percentage in decimal followed by "%".
std::string PercentText(std::int32_t percent);

// A rectangle with exclusive right and bottom edges, as GDI fills it.
struct GaugeRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const GaugeRect&, const GaugeRect&) = default;
};

struct GaugeLayout {
  GaugeRect inner;    // the client rectangle, less the one-pixel border if there is one
  int span = 0;       // W: inner width plus one
  int filled = 0;     // F: the filled width, percent × W / 100
  bool hasFilled = false;
  GaugeRect filledPart;  // from the inner left edge, F pixels wide
  bool hasEmpty = false;
  GaugeRect emptyPart;   // from the end of the filled part to the inner right edge
  int textX = 0;         // top-left corner of the centred text
  int textY = 0;
};

// Where the parts of a bar of `clientWidth` × `clientHeight` go at `percent`, with
// a text of `textWidth` × `textHeight` pixels. At 100 % the filled part reaches
// one pixel past the inner rectangle (onto the right border), as W is one more
// than the inner width. A negative percentage draws no filled part and an empty
// part that starts at the inner left edge, never outside the bar.
GaugeLayout ComputeGaugeLayout(int clientWidth, int clientHeight, bool border, std::int32_t percent, int textWidth,
                               int textHeight);

}  // namespace tolvar
