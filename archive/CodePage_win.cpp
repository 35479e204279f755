// Windows converts names with its own tables: the ANSI code page for the
// bootstrapper, any installed code page for the archive tool.
#include <windows.h>

#include "archive/CodePage.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

class WindowsCodePage final : public CodePage {
 public:
  explicit WindowsCodePage(UINT number) : number_(number) {}
  unsigned Number() const override { return number_ == CP_ACP ? 0 : number_; }

  std::optional<std::string> ToUtf8(std::string_view bytes) const override {
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(number_, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length);
    return Utf16ToUtf8(text);
  }

  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    if (utf8.empty()) return std::string();
    const std::wstring text = Utf8ToUtf16(utf8);
    const int size = static_cast<int>(text.size());
    BOOL substituted = FALSE;
    const int length =
        ::WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &substituted);
    if (length <= 0 || substituted) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, text.data(), size, bytes.data(), length, nullptr,
                          &substituted);
    if (substituted) return std::nullopt;
    // A malformed UTF-8 byte became U+FFFD on the way; make sure it did not pass.
    if (Utf16ToUtf8(text) != utf8) return std::nullopt;
    return bytes;
  }

 private:
  UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePageByNumber(unsigned number) {
  if (number == 0 || !::IsValidCodePage(number)) return nullptr;
  return std::make_unique<WindowsCodePage>(number);
}

const CodePage& SystemAnsiCodePage() {
  static const WindowsCodePage codePage(CP_ACP);
  return codePage;
}

}  // namespace tolvar
