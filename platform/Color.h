// The program's one colour type. A colour is 0x00BBGGRR, the layout of the
// system's COLORREF, so an RGB colour reaches GDI unchanged. A value with the
// top bit set is no RGB colour: it names a system colour by its index in the
// low byte, and whoever draws with it looks that colour up first.
#pragma once

#include <cstdint>

namespace tolvar {

using TColor = std::uint32_t;

constexpr TColor Rgb(unsigned red, unsigned green, unsigned blue) {
  return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr unsigned RedOf(TColor color) { return color & 0xFF; }
constexpr unsigned GreenOf(TColor color) { return (color >> 8) & 0xFF; }
constexpr unsigned BlueOf(TColor color) { return (color >> 16) & 0xFF; }

inline constexpr TColor clBlack = Rgb(0, 0, 0);
inline constexpr TColor clNavy = Rgb(0, 0, 128);
inline constexpr TColor clWhite = Rgb(255, 255, 255);

// The system colour of index `index` (COLOR_HIGHLIGHT, ...), by reference.
constexpr TColor SystemColor(int index) { return 0x80000000u | static_cast<std::uint32_t>(index & 0xFF); }
constexpr bool IsSystemColor(TColor color) { return (color & 0x80000000u) != 0; }

}  // namespace tolvar
