#include <windows.h>

#include <vector>

#include "archive/WindowsNames.h"
#include "platform/FileStream.h"
#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {
namespace {

struct FindCloser {
  void operator()(HANDLE find) const { ::FindClose(find); }
};

EArchivePackError Failure(const std::string& what) {
  return EArchivePackError(what + ": " + SystemErrorText(LastSystemError()));
}

// The first item of a folder listing ("." included); false when there is none.
std::unique_ptr<void, FindCloser> FindFirst(const std::string& folder, WIN32_FIND_DATAW& item) {
  const HANDLE first = ::FindFirstFileW(Utf8ToUtf16(IncludeTrailingBackslash(folder) + "*").c_str(), &item);
  return std::unique_ptr<void, FindCloser>(first == INVALID_HANDLE_VALUE ? nullptr : first);
}

}  // namespace

PackSource::Listing DiskPackSource::List(const std::string& folder) {
  WIN32_FIND_DATAW item{};
  const auto find = FindFirst(folder, item);
  if (!find) throw Failure("cannot be listed");
  Listing listing;
  do {
    const std::string name = Utf16ToUtf8(item.cFileName);
    if (name == "." || name == "..") continue;
    if (item.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      listing.others.emplace_back(name, "a link");
    } else if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      listing.folders.push_back(name);
    } else {
      listing.files.push_back(name);
    }
  } while (::FindNextFileW(find.get(), &item));
  if (::GetLastError() != ERROR_NO_MORE_FILES) throw Failure("cannot be listed");
  return listing;
}

std::unique_ptr<Stream> DiskPackSource::OpenFile(const std::string& path) {
  // A link put in the file's place since the listing is opened as itself, and
  // refused with anything else that is not a file on a disk.
  UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) throw Failure("cannot be opened");
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
    throw EArchivePackError("is not a plain file on a disk (a device, a pipe or a link)");
  }
  return FileStream::Adopt(reinterpret_cast<std::intptr_t>(file.release()));
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

std::u16string PathKey(const std::string& path) { return WindowsNameKey(path); }

bool NameTaken(const std::string& path) {
  return ::GetFileAttributesW(Utf8ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderEmptyOrMissing(const std::string& folder) {
  WIN32_FIND_DATAW item{};
  const auto find = FindFirst(folder, item);
  if (!find) return ::GetLastError() == ERROR_PATH_NOT_FOUND || ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring name = item.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (::FindNextFileW(find.get(), &item));
  return true;
}

}  // namespace tolvar::zl32
