#include <windows.h>

#include "platform/Utf.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {

int LastSystemError() { return static_cast<int>(::GetLastError()); }

std::string SystemErrorText(int code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string said = length > 0 ? Utf16ToUtf8(std::wstring_view(text, length)) : std::string();
  if (text) ::LocalFree(text);
  // The system's sentences end with a full stop and a line break; a message goes on after it.
  while (!said.empty() && (said.back() == '\n' || said.back() == '\r' || said.back() == ' ' || said.back() == '.')) {
    said.pop_back();
  }
  return said.empty() ? "system error " + std::to_string(code) : said;
}

std::string OpenErrorText(int code) { return SystemErrorText(code); }

}  // namespace tolvar::zl32
