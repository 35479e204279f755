#include "archive/EntryName.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/Utf.h"

namespace tolvar {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsForbiddenCharacter(char32_t c) {
  constexpr std::u32string_view kForbidden = U"\\/:*?\"<>|";
  return kForbidden.find(c) != std::u32string_view::npos;
}

// Decodes UTF-8 strictly; false on any malformed or overlong sequence.
bool DecodeUtf8(std::string_view text, std::u32string& out) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      c = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      c = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      c = lead & 0x07u;
    } else {
      return false;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) return false;  // cut inside a character
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3Fu);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

char32_t Upper(char32_t c) { return c >= U'a' && c <= U'z' ? c - 32 : c; }

bool IsReservedDeviceName(std::u32string_view name) {
  // The device is named by the part before the first dot, trailing blanks ignored.
  std::u32string stem(name.substr(0, name.find(U'.')));
  while (!stem.empty() && stem.back() == U' ') stem.pop_back();
  std::transform(stem.begin(), stem.end(), stem.begin(), Upper);
  static constexpr std::array<std::u32string_view, 6> kDevices = {U"CON", U"PRN", U"AUX", U"NUL", U"CONIN$",
                                                                  U"CONOUT$"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  if (stem.size() == 4 && (stem.starts_with(U"COM") || stem.starts_with(U"LPT"))) {
    // Windows reserves the digits 1..9 and the superscripts 1, 2 and 3.
    const char32_t digit = stem[3];
    return (digit >= U'1' && digit <= U'9') || digit == U'\u00B9' || digit == U'\u00B2' || digit == U'\u00B3';
  }
  return false;
}

// The length of the UTF-8 character that `text` starts with when it is well
// formed and printable (not a C1 control), else 0.
std::size_t PrintableUtf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  std::u32string decoded;
  if (length == 0 || text.size() < length || !DecodeUtf8(text.substr(0, length), decoded)) return 0;
  return IsControl(decoded[0]) ? 0 : length;
}

// What makes a name unsafe as one path component. The check gives a code, not
// a text, so that the extraction, which only needs yes or no, builds no text
// for each name it meets.
enum class NameFault : std::uint8_t {
  None,
  Empty,
  NotUtf8,
  FolderItself,
  ControlCharacter,
  ForbiddenCharacter,
  TrailingDotOrBlank,
  DeviceName,
};

NameFault FindNameFault(std::string_view name) {
  std::u32string text;
  if (name.empty()) return NameFault::Empty;
  if (!DecodeUtf8(name, text)) return NameFault::NotUtf8;
  if (text == U"." || text == U"..") return NameFault::FolderItself;
  for (const char32_t c : text) {
    if (IsControl(c)) return NameFault::ControlCharacter;
    if (IsForbiddenCharacter(c)) return NameFault::ForbiddenCharacter;
  }
  if (text.back() == U'.' || text.back() == U' ') return NameFault::TrailingDotOrBlank;
  if (IsReservedDeviceName(text)) return NameFault::DeviceName;
  return NameFault::None;
}

}  // namespace

std::string UnsafeNameReason(std::string_view name) {
  switch (FindNameFault(name)) {
    case NameFault::None: return {};
    case NameFault::Empty: return "an empty name";
    case NameFault::NotUtf8: return "not text (not UTF-8)";
    case NameFault::FolderItself: return "a name that stands for a folder itself";
    case NameFault::ControlCharacter: return "holds a control character";
    case NameFault::ForbiddenCharacter: return "holds one of \\ / : * ? \" < > |";
    case NameFault::TrailingDotOrBlank: return "ends with a dot or blank, which Windows drops";
    case NameFault::DeviceName: return "a name Windows keeps for a device";
  }
  return {};
}

bool IsSafeEntryName(std::string_view name) { return FindNameFault(name) == NameFault::None; }

std::string PrintableName(std::string_view raw, bool keepUtf8, std::size_t maxChars) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < raw.size();) {
    const auto byte = static_cast<unsigned char>(raw[i]);
    // One unit of the shown name: a printable character, or one byte as \xNN.
    std::string unit;
    std::size_t used = 1;
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '/') {
      unit.assign(1, static_cast<char>(byte));
    } else if (const std::size_t length = keepUtf8 ? PrintableUtf8Length(raw.substr(i)) : 0; length > 0) {
      unit.assign(raw.substr(i, length));
      used = length;
    } else {
      unit = {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
    const std::size_t unitChars = used > 1 ? 1 : unit.size();
    if (chars + unitChars > maxChars) {
      const std::size_t left = raw.size() - i;
      return shown + "[... " + std::to_string(left) + (left == 1 ? " more byte]" : " more bytes]");
    }
    shown += unit;
    chars += unitChars;
    i += used;
  }
  return shown;
}

}  // namespace tolvar
