// How the values of the definition file (tolvar.def) are understood, apart from
// the reader that fetches them: integers in decimal or hexadecimal, source
// patterns with the medium's folder in place of "%s", and the numbered keys.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvar {

// An integer as the definition file writes it: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$", "x" or
// "0x" (x in either case). Hexadecimal takes up to 32 bits as a signed value
// ($FFFFFFFF is -1). Anything else, or a value out of range, gives `fallback`.
std::int32_t ParseProfileInteger(std::string_view text, std::int32_t fallback);

// Applies a "From" pattern to its one string argument: the first "%s" (or "%S")
// becomes `argument`, "%%" becomes "%", and every other "%" sequence (a further
// "%s", "%d", a lone "%") stays exactly as written. The file's text never reaches
// a printf-style formatter.
std::string ExpandSourcePattern(std::string_view pattern, std::string_view argument);

// The number n of a key named "From<n>" (letters in any case, as the reader
// matches keys; n decimal from 1 without leading zeros, blanks around the key
// ignored), or 0 for any other key.
std::int32_t FromKeyIndex(std::string_view key);

// The file name that a "To" value (or a source path used as the target's name)
// gives the copy: everything after its last '\', '/' or ':'. Windows takes '/'
// as a separator as well, so "../../x" names x in the setup folder, not a file
// two folders up.
std::string DefinitionFileName(std::string_view value);

// The disk prompt: the first "%d" of `pattern` replaced by the disk number.
std::string FormatDiskPrompt(std::string_view pattern, std::int32_t disk);

}  // namespace tolvar
