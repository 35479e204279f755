// Path helpers with the system's backslash semantics, on every platform. A path is
// UTF-8 text; '\' separates folders and ':' ends a drive. Only the POSIX file layer
// turns '\' into '/' at the system call.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tolvar {

// Adds a trailing backslash unless the path already ends with one.
std::string IncludeTrailingBackslash(std::string_view path);

// Removes one trailing backslash, if there is one.
std::string ExcludeTrailingBackslash(std::string_view path);

// The folder part: everything up to and including the last '\' or ':'.
std::string ExtractFilePath(std::string_view path);

// The file-name part: everything after the last '\' or ':'.
std::string ExtractFileName(std::string_view path);

// True when the path names an object of the system's device namespace rather
// than a file by its drive or share: it starts with "\\.\", "\??\", or "\\?\"
// not followed by a drive ("\\?\C:\...") or "UNC\" ('/' counts as '\').
// Such paths reach devices, pipes, raw volumes and shadow copies.
bool IsDeviceNamespacePath(std::string_view path);

// Text that the program stores in a bounded string holds at most this many
// characters; longer values are cut without notice.
inline constexpr std::size_t kShortStringChars = 255;

// A stored path: at most 255 characters, cut by characters, never inside one.
class PathString {
 public:
  PathString() = default;
  explicit PathString(std::string_view text);

  const std::string& str() const noexcept { return text_; }
  operator const std::string&() const noexcept { return text_; }
  bool empty() const noexcept { return text_.empty(); }

  friend bool operator==(const PathString&, const PathString&) = default;

 private:
  std::string text_;
};

// Cuts text to the 255 characters of a stored string.
std::string ShortString(std::string_view text);

}  // namespace tolvar
