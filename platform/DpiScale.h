// Display scaling. Every layout of the program is designed in pixels at 96 dots
// per inch; a window scales those figures to its own DPI, so that at 150 % (144
// dpi) it is half as large again and at 96 dpi exactly as designed.
#pragma once

#include <cstdint>

namespace tolvar {

inline constexpr int kDesignDpi = 96;

// value * numerator / denominator, rounded half away from zero, as the system's
// MulDiv rounds; 0 for a zero denominator.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
  if (denominator == 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (denominator < 0 ? -denominator : denominator);
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// The scale of one window: its DPI, and the designed figures turned into its pixels.
struct DpiScale {
  int dpi = kDesignDpi;

  // A DPI of 0 or below (a failed query) counts as the designed one.
  static constexpr DpiScale Of(int dpi) { return DpiScale{dpi > 0 ? dpi : kDesignDpi}; }

  // A length designed at 96 dpi, in this DPI's pixels.
  constexpr int Scale(int designed) const { return MulDivRounded(designed, dpi, kDesignDpi); }
  // Pixels of this DPI back in 96-dpi units (for values stored independently of the display).
  constexpr int Unscale(int pixels) const { return MulDivRounded(pixels, kDesignDpi, dpi); }
  // Pixels measured at another DPI, in this one's.
  constexpr int Rescale(int pixels, const DpiScale& from) const { return MulDivRounded(pixels, dpi, from.dpi); }
  // The character height (negative, as fonts are asked for) of a font of `points` points.
  constexpr int FontHeight(int points) const { return -MulDivRounded(points, dpi, 72); }
  // A designed one-pixel line: whole pixels only, so that it stays sharp (1 up
  // to 191 dpi, 2 from 200 %).
  constexpr int LineThickness() const { return dpi >= 2 * kDesignDpi ? dpi / kDesignDpi : 1; }

  friend constexpr bool operator==(const DpiScale&, const DpiScale&) = default;
};

// A length measured or chosen at one DPI, carried to other DPIs from where it
// was taken, so that the rounding of one change does not add to the next.
struct DpiLength {
  int pixels = 0;
  DpiScale takenAt;

  constexpr int At(const DpiScale& scale) const { return scale.Rescale(pixels, takenAt); }

  // `current` (pixels at `from`) carried to `to`: from the length taken earlier
  // when `current` is still what that gives at `from`, else from `current`.
  constexpr int Carry(int current, const DpiScale& from, const DpiScale& to) {
    if (At(from) != current) *this = DpiLength{current, from};
    return At(to);
  }
};

}  // namespace tolvar
