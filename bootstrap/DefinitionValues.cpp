#include "bootstrap/DefinitionValues.h"

#include "platform/Utf.h"

namespace tolvar {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::int32_t ParseProfileInteger(std::string_view text, std::int32_t fallback) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return fallback;  // no digits at all

  // Accumulate in 64 bits and stop as soon as the value cannot fit any more.
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : negative ? 0x80000000ull : 0x7FFFFFFFull;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = hex ? HexDigit(text[i]) : IsDigit(text[i]) ? text[i] - '0' : -1;
    if (digit < 0) return fallback;
    value = value * (hex ? 16u : 10u) + static_cast<std::uint64_t>(digit);
    if (value > limit) return fallback;
  }
  // Hexadecimal digits are a 32-bit pattern; decimal values were range-checked.
  const auto bits = static_cast<std::uint32_t>(negative ? 0u - value : value);
  return static_cast<std::int32_t>(bits);
}

std::string ExpandSourcePattern(std::string_view pattern, std::string_view argument) {
  std::string result;
  result.reserve(pattern.size() + argument.size());
  bool argumentUsed = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && next == '%') {
      result += '%';
      ++i;
    } else if (c == '%' && (next == 's' || next == 'S') && !argumentUsed) {
      result += argument;
      argumentUsed = true;
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

std::int32_t FromKeyIndex(std::string_view key) {
  key = TrimBlanks(key);
  if (key.size() < 5 || key.size() > 14) return 0;
  for (std::size_t i = 0; i < 4; ++i) {
    if ((key[i] | 0x20) != "from"[i]) return 0;
  }
  const std::string_view digits = key.substr(4);
  if (digits.front() == '0') return 0;
  std::int64_t n = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) return 0;
    n = n * 10 + (c - '0');
  }
  return n > INT32_MAX ? 0 : static_cast<std::int32_t>(n);
}

std::string DefinitionFileName(std::string_view value) {
  const auto last = value.find_last_of("\\/:");
  return std::string(last == std::string_view::npos ? value : value.substr(last + 1));
}

std::string FormatDiskPrompt(std::string_view pattern, std::int32_t disk) {
  std::string text(pattern);
  const auto at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, IntToStr(disk));
  return text;
}

}  // namespace tolvar
