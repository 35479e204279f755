#include "platform/Path.h"

#include "platform/Utf.h"

namespace tolvar {
namespace {

// UTF-8 continuation and lead bytes are all >= 0x80, so a byte search for '\' or
// ':' never lands inside a multi-byte character.
std::size_t FolderPartLength(std::string_view path) {
  const auto last = path.find_last_of("\\:");
  return last == std::string_view::npos ? 0 : last + 1;
}

}  // namespace

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '\\') result += '\\';
  return result;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, FolderPartLength(path)));
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(FolderPartLength(path)));
}

PathString::PathString(std::string_view text) : text_(ShortString(text)) {}

std::string ShortString(std::string_view text) { return CutToChars(text, kShortStringChars); }

bool IsDeviceNamespacePath(std::string_view path) {
  std::string text(path.substr(0, 8));
  for (char& c : text) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (text.starts_with("\\\\.\\") || text.starts_with("\\??\\")) return true;
  if (!text.starts_with("\\\\?\\")) return false;
  const std::string_view rest = std::string_view(text).substr(4);
  const bool drive = rest.size() >= 3 && rest[0] >= 'A' && rest[0] <= 'Z' && rest[1] == ':' && rest[2] == '\\';
  return !drive && !rest.starts_with("UNC\\");
}

}  // namespace tolvar
