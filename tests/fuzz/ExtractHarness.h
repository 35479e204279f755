// One extraction of arbitrary bytes, checked for everything that must never
// happen whatever the archive holds. Shared by the libFuzzer target and the
// native mutation test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvar::fuzz {

// Extracts `data` as an archive into memory and returns what went wrong, or an
// empty text: anything written outside the target folder or under a name that
// is not one plain component, anything written through the links planted in the
// target (to a folder and a file outside, a second name of an outside file,
// under names in other letter cases), a file holding more than its record
// allows, success for an archive that delivered fewer chunks than its header
// announces, an error other than the archive's own damage, a result outside 0..4,
// a stream left open, a callback order broken. Paths are limited as on Windows.
std::string CheckExtraction(const std::uint8_t* data, std::size_t size);

// The oracle for one created path (a folder ends with a backslash): empty when
// it is the target folder, one of its parents, or plain names below it.
std::string CheckCreatedPath(const std::string& path);

// The target folder the extraction writes into.
inline constexpr char kFuzzTarget[] = "C:\\Program Files\\Setup\\";

}  // namespace tolvar::fuzz
