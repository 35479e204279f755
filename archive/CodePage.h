// 8-bit code pages for the names inside archives. An archive stores each name as
// 8-bit text in the ANSI code page of the system that made it; inside the program
// all text is UTF-8.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tolvar {

class CodePage {
 public:
  virtual ~CodePage() = default;

  // The code page's number (1250 ...); 0 for the system's ANSI code page.
  virtual unsigned Number() const = 0;
  // 8-bit text to UTF-8; nothing when a byte stands for no character.
  virtual std::optional<std::string> ToUtf8(std::string_view bytes) const = 0;
  // UTF-8 to 8-bit text; nothing when a character has no encoding here (no
  // best-fit substitutes: a name must come back exactly as it went in).
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

// The default code page of the archive tool: Central European, 1250.
inline constexpr unsigned kDefaultArchiveCodePage = 1250;

// Code page 1250 from a built-in table, the same on every platform.
const CodePage& CodePage1250();

// A code page by number: 1250 from the built-in table, others from the system
// (Windows' conversion functions; iconv elsewhere). nullptr when unknown.
std::unique_ptr<CodePage> CodePageByNumber(unsigned number);

// The system's own conversion for a code page (Windows' functions, iconv);
// nullptr when the system does not know it.
std::unique_ptr<CodePage> SystemCodePageByNumber(unsigned number);

// The code page in which the system's own programs write 8-bit names: the ANSI
// code page on Windows, 1250 elsewhere.
const CodePage& SystemAnsiCodePage();

}  // namespace tolvar
