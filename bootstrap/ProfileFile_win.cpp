#include "bootstrap/ProfileFile_win.h"

#include <windows.h>

#include "bootstrap/DefinitionValues.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr DWORD kValueBufferChars = 2048;

}  // namespace

std::string ProfileFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
  std::wstring buffer(kValueBufferChars, L'\0');
  const DWORD length =
      ::GetPrivateProfileStringW(Utf8ToUtf16(section).c_str(), Utf8ToUtf16(key).c_str(), Utf8ToUtf16(fallback).c_str(),
                                 buffer.data(), kValueBufferChars, Utf8ToUtf16(path_).c_str());
  buffer.resize(length);
  return ShortString(Utf16ToUtf8(buffer));
}

std::int32_t ProfileFile::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t fallback) const {
  // An absent key reads as empty text, which is not an integer either.
  return ParseProfileInteger(ReadString(section, key, std::string()), fallback);
}

std::vector<std::string> ProfileFile::ReadKeys(const std::string& section) const {
  // With no key name the reader lists the section's keys, each ended by a null,
  // the list by a second one; a full buffer is retried with a larger one.
  std::vector<wchar_t> buffer(4096);
  DWORD length = 0;
  for (;;) {
    length = ::GetPrivateProfileStringW(Utf8ToUtf16(section).c_str(), nullptr, L"", buffer.data(),
                                        static_cast<DWORD>(buffer.size()), Utf8ToUtf16(path_).c_str());
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.resize(buffer.size() * 4);
  }
  std::vector<std::string> keys;
  for (DWORD start = 0; start < length;) {
    const std::wstring_view name(buffer.data() + start);
    if (name.empty()) break;
    keys.push_back(Utf16ToUtf8(name));
    start += static_cast<DWORD>(name.size()) + 1;
  }
  return keys;
}

}  // namespace tolvar
