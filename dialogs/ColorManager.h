// The colour arithmetic of the colour manager: the 17 interface colours derived
// from what the system reports (highlight colour, colour depth, the active visual
// style and its colour scheme). Pure functions; ColorManager_win gathers the
// system's values and refreshes them when the theme changes.
#pragma once

#include <array>
#include <string>

#include "platform/Color.h"

namespace tolvar {

// The colours here are RGB values, never system colour references.

// 80 % of the colour and 20 % white: each channel c becomes round(0.8 c) + 51.
TColor MixWithWhite20(TColor color);
// 40 % of the colour and 60 % white: round(0.4 c) + 153.
TColor MixWithWhite60(TColor color);
// 60 % of the colour and 40 % black: round(0.6 c).
TColor Darken60(TColor color);

// What the colours are computed from; system colours already as RGB.
struct ColorEnvironment {
  TColor highlight = Rgb(0, 0, 128);   // the system highlight colour
  TColor buttonFace = Rgb(212, 208, 200);
  TColor buttonShadow = Rgb(128, 128, 128);
  TColor window = Rgb(255, 255, 255);
  TColor grayText = Rgb(128, 128, 128);
  int bitsPerPixel = 32;               // of the desktop
  bool themeActive = false;            // visual styles on
  std::string themeFileName;           // file of the active style (a path is fine)
  std::string colorSchemeName;         // its colour scheme
};

// The base colour (no. 9): the scheme's own blue, olive or silver tone for the
// one style that has them, otherwise the system highlight colour.
TColor BaseColor(const ColorEnvironment& environment);

// Colour number n (1..17) is element n - 1.
using InterfaceColors = std::array<TColor, 17>;
InterfaceColors ComputeInterfaceColors(const ColorEnvironment& environment);

// Colour 12, the separator lines of the message dialog.
constexpr int kSeparatorColorNumber = 12;

}  // namespace tolvar
