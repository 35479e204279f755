#include "platform/Utf.h"

#include <charconv>
#include <cstdint>

namespace tolvar {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[pos]; advances pos by its length (1 for a bad
// byte). Rejects overlong forms, surrogates and values above U+10FFFF.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (text.size() - pos < length) {
    ++pos;
    return kReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    value = (value << 6) | (next & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

template <typename Char>
std::basic_string<Char> ToUtf16(std::string_view utf8) {
  std::basic_string<Char> out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t c = DecodeUtf8(utf8, pos);
    if (c < 0x10000) {
      out += static_cast<Char>(c);
    } else {
      const char32_t v = c - 0x10000;
      out += static_cast<Char>(0xD800 + (v >> 10));
      out += static_cast<Char>(0xDC00 + (v & 0x3FF));
    }
  }
  return out;
}

template <typename Char>
std::string FromUtf16(std::basic_string_view<Char> utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const auto unit = static_cast<char32_t>(static_cast<std::uint16_t>(utf16[i]));
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size()) {
      const auto low = static_cast<char32_t>(static_cast<std::uint16_t>(utf16[i + 1]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
  }
  return out;
}

}  // namespace

std::wstring Utf8ToUtf16(std::string_view utf8) { return ToUtf16<wchar_t>(utf8); }
std::u16string Utf8ToU16(std::string_view utf8) { return ToUtf16<char16_t>(utf8); }
std::string Utf16ToUtf8(std::wstring_view utf16) { return FromUtf16<wchar_t>(utf16); }
std::string U16ToUtf8(std::u16string_view utf16) { return FromUtf16<char16_t>(utf16); }

std::size_t CountChars(std::string_view utf8) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < utf8.size(); ++count) DecodeUtf8(utf8, pos);
  return count;
}

std::string CutToChars(std::string_view utf8, std::size_t maxChars) {
  std::size_t pos = 0;
  for (std::size_t count = 0; count < maxChars && pos < utf8.size(); ++count) {
    DecodeUtf8(utf8, pos);
  }
  return std::string(utf8.substr(0, pos));
}

std::string IntToStr(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace tolvar
