#include <windows.h>

#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {

std::string LoadText(TextId id) {
  // With a zero buffer size LoadStringW hands out a pointer into the resource
  // itself; the text there is not terminated, its length is the result.
  const wchar_t* resource = nullptr;
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&resource), 0);
  if (length > 0 && resource) return Utf16ToUtf8(std::wstring_view(resource, static_cast<std::size_t>(length)));
  return std::string(BuiltInText(id));
}

}  // namespace tolvar
