#include <windows.h>

#include <vector>

#include "platform/FileStream.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tools/zl32/DiskTree.h"

namespace tolvar::zl32 {
namespace {

struct FindCloser {
  void operator()(HANDLE find) const { ::FindClose(find); }
};

}  // namespace

PackSource::Listing DiskPackSource::List(const std::string& folder) {
  WIN32_FIND_DATAW item{};
  const std::wstring pattern = Utf8ToUtf16(IncludeTrailingBackslash(folder) + "*");
  const HANDLE first = ::FindFirstFileW(pattern.c_str(), &item);
  if (first == INVALID_HANDLE_VALUE) throw EArchivePackError(folder + ": cannot be listed");
  std::unique_ptr<void, FindCloser> find(first);
  Listing listing;
  do {
    const std::string name = Utf16ToUtf8(item.cFileName);
    if (name == "." || name == "..") continue;
    if (item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      throw EArchivePackError(IncludeTrailingBackslash(folder) + name + ": a link (links are not followed)");
    }
    if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      listing.folders.push_back(name);
    } else {
      listing.files.push_back(name);
    }
  } while (::FindNextFileW(find.get(), &item));
  return listing;
}

std::unique_ptr<Stream> DiskPackSource::OpenFile(const std::string& path) {
  return FileStream::OpenRead(path, FileShare::ReadWrite);
}

std::string AbsolutePath(const std::string& path) {
  const std::wstring wide = Utf8ToUtf16(path);
  const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::vector<wchar_t> buffer(length);
  const DWORD written = ::GetFullPathNameW(wide.c_str(), length, buffer.data(), nullptr);
  if (written == 0 || written >= length) return {};
  const std::string full = Utf16ToUtf8(std::wstring_view(buffer.data(), written));
  // Keep "C:\" as it is; drop the backslash after any other folder.
  return full.size() > 3 ? ExcludeTrailingBackslash(full) : full;
}

bool SamePath(const std::string& a, const std::string& b) {
  const std::wstring wa = Utf8ToUtf16(a);
  const std::wstring wb = Utf8ToUtf16(b);
  return ::CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()),
                                TRUE) == CSTR_EQUAL;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileW(Utf8ToUtf16(path).c_str()) != FALSE; }

}  // namespace tolvar::zl32
