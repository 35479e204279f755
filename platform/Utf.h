// UTF-8 text helpers shared by every layer (the string table of the program's
// own texts is platform/Texts.h). Inside the program all text is UTF-8 in a
// std::string; UTF-16 appears only at the Win32 boundary. Also the one number
// format that the texts need.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvar {

// UTF-8 to UTF-16. Malformed input never fails: each bad byte becomes U+FFFD.
std::wstring Utf8ToUtf16(std::string_view utf8);
std::u16string Utf8ToU16(std::string_view utf8);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::wstring_view utf16);
std::string U16ToUtf8(std::u16string_view utf16);

// Number of characters (code points) in UTF-8 text; a malformed byte counts as one.
std::size_t CountChars(std::string_view utf8);

// The first maxChars characters of UTF-8 text. Never cuts inside a character.
std::string CutToChars(std::string_view utf8, std::size_t maxChars);

// Formats a signed integer in decimal without the locale.
std::string IntToStr(long long value);

}  // namespace tolvar
