// Which names from an archive may become a file or folder name. An entry name is
// exactly one path component below the folder being extracted into; anything that
// could reach elsewhere (a separator, a drive, a parent step, a device) is refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvar {

// True when `name` (UTF-8) is safe as one path component: not empty, not "." or
// "..", none of \ / : * ? " < > |, no control character (U+0000..U+001F,
// U+007F..U+009F), no trailing dot or blank (Windows drops them, so ".. " would
// mean ".."), not a reserved device name (CON, PRN, AUX, NUL, COM1..9, LPT1..9,
// CONIN$, CONOUT$, in any letter case, with or without an extension or trailing
// blanks before it), and valid UTF-8.
bool IsSafeEntryName(std::string_view name);

// Why a name is not safe ("holds a control character"); empty when it is.
std::string UnsafeNameReason(std::string_view name);

// Names are shown cut to this many characters; a name of the file system holds
// at most 255.
inline constexpr std::size_t kShownNameChars = 100;

// A name as the tools show it: printable ASCII stays, every other byte (and the
// backslash and slash, which would pass for separators) becomes \xNN; with
// keepUtf8 the printable non-ASCII characters of well-formed UTF-8 stay as they
// are. A name longer than maxChars shown characters is cut there and says how
// many bytes were left out: "abc[... 60000 more bytes]".
std::string PrintableName(std::string_view raw, bool keepUtf8 = false, std::size_t maxChars = kShownNameChars);

}  // namespace tolvar
