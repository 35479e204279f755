// Which names from an archive may become a file or folder name. An entry name is
// exactly one path component below the folder being extracted into; anything that
// could reach elsewhere (a separator, a drive, a parent step, a device) is refused.
#pragma once

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

// A name as the tools show it: printable ASCII stays, every other byte (and the
// backslash, which would pass for a separator) becomes \xNN; with keepUtf8 the
// bytes of non-ASCII characters of converted UTF-8 text stay as they are.
std::string PrintableName(std::string_view raw, bool keepUtf8 = false);

}  // namespace tolvar
