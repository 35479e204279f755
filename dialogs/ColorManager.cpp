#include "dialogs/ColorManager.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/Path.h"

namespace tolvar {
namespace {

// round(c * numerator / 10) + add; the products never end in exactly .5, so
// rounding half up and rounding half to even agree.
TColor ScaleChannels(TColor color, unsigned tenths, unsigned add) {
  const auto scale = [&](unsigned channel) { return (channel * tenths + 5) / 10 + add; };
  return Rgb(scale(RedOf(color)), scale(GreenOf(color)), scale(BlueOf(color)));
}

// Compares with an upper-case ASCII name, ignoring the case of `text`.
bool EqualsIgnoringCase(const std::string& text, std::string_view upperName) {
  return text.size() == upperName.size() &&
         std::equal(text.begin(), text.end(), upperName.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
         });
}

}  // namespace

TColor MixWithWhite20(TColor color) { return ScaleChannels(color, 8, 51); }
TColor MixWithWhite60(TColor color) { return ScaleChannels(color, 4, 153); }
TColor Darken60(TColor color) { return ScaleChannels(color, 6, 0); }

TColor BaseColor(const ColorEnvironment& environment) {
  if (environment.themeActive && EqualsIgnoringCase(ExtractFileName(environment.themeFileName), "LUNA.MSSTYLES")) {
    if (EqualsIgnoringCase(environment.colorSchemeName, "NORMALCOLOR")) return Rgb(0, 45, 150);
    if (EqualsIgnoringCase(environment.colorSchemeName, "HOMESTEAD")) return Rgb(117, 141, 94);
    if (EqualsIgnoringCase(environment.colorSchemeName, "METALLIC")) return Rgb(124, 124, 148);
  }
  return environment.highlight;
}

InterfaceColors ComputeInterfaceColors(const ColorEnvironment& environment) {
  const bool deepColor = environment.bitsPerPixel > 8;
  InterfaceColors colors{};
  // The office-style scheme colours (1, 2, 3, 5, 13, 14, 15) follow the system
  // colours: menu and toolbar backgrounds and their borders.
  colors[0] = MixWithWhite20(environment.buttonFace);
  colors[1] = environment.buttonFace;
  colors[2] = environment.buttonShadow;
  colors[3] = MixWithWhite60(environment.highlight);
  colors[4] = MixWithWhite20(MixWithWhite20(environment.highlight));
  colors[5] = Darken60(environment.highlight);
  colors[6] = deepColor ? Rgb(193, 191, 180) : Rgb(192, 192, 192);
  colors[7] = deepColor ? Rgb(232, 229, 213) : Rgb(192, 192, 192);
  colors[8] = BaseColor(environment);
  colors[9] = MixWithWhite20(colors[8]);
  colors[10] = MixWithWhite20(colors[9]);
  colors[11] = MixWithWhite20(colors[10]);
  colors[12] = environment.window;
  colors[13] = Darken60(environment.buttonFace);
  colors[14] = environment.grayText;
  colors[15] = Rgb(242, 240, 228);
  colors[16] = Rgb(128, 128, 128);
  return colors;
}

}  // namespace tolvar
