// The rules of Windows' file system that an archive must obey to unpack there as
// it was meant, checked by the archive tool on every platform: letter case does
// not tell names apart, and a path has a length limit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvar {

// The name (UTF-8) as Windows compares it within a folder: UTF-16 with every
// letter in upper case, as the file system's case table maps it. Two names with
// the same key cannot both live in one folder: the second replaces the first.
// The table covers the letters of the 8-bit code pages that archive names are
// written in (Latin, Greek, Cyrillic) and the full-width Latin letters; other
// characters compare as they are.
std::u16string WindowsNameKey(std::string_view name);

// Windows' file calls take a path of fewer UTF-16 units than this (MAX_PATH);
// the bootstrapper writes nothing longer.
inline constexpr std::size_t kWindowsPathLimit = 260;

// The length of a UTF-8 path in UTF-16 units, as Windows counts it.
std::size_t WindowsPathLength(std::string_view path);

}  // namespace tolvar
