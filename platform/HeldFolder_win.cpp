// Windows: a held folder is a handle that shares reading and writing but not
// deletion, so the folder can be neither renamed nor removed while it is open;
// holding every folder of a chain keeps the whole path what it was when checked.
//
// What a name denotes is always judged on a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT: Windows then opens a link itself, and the handle
// shows FILE_ATTRIBUTE_REPARSE_POINT. Where the system follows a link regardless
// (Wine opens a host symbolic link's target), the handle's final path lies
// elsewhere; such a name is never acted on, because removing it through the
// handle would remove what it points to.
#include <windows.h>

#include <vector>

#include "platform/Handle_win.h"
#include "platform/HeldFolder.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr int kAttempts = 3;  // rounds against a name swapped between two calls

// Listing or traversing takes part in sharing checks; attribute access alone would not.
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kHoldShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kAnyShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// FileDispositionInfoEx with "delete even if read-only": Windows 10 1809 and later.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
struct DispositionInfoEx {
  DWORD flags;
};

// The handle's normalized path with its drive, without a trailing backslash;
// empty when the system cannot tell.
std::wstring FinalPath(HANDLE handle) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return {};
    if (length < buffer.size()) {
      std::wstring path(buffer.data(), length);
      if (!path.empty() && path.back() == L'\\') path.pop_back();
      return path;
    }
    buffer.resize(length + 1);
  }
}

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

struct NameInfo {
  DWORD attributes = 0;
  DWORD links = 0;
  bool here = false;  // the handle is the object of that name in the folder itself
  bool Directory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool Reparse() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// What the handle opened for `expected` (the folder's final path + '\' + name) is.
// Without a final path for the folder, only the handle's attributes speak.
NameInfo Inspect(HANDLE handle, const std::wstring& folderFinal, const std::wstring& name) {
  NameInfo result;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return result;
  result.attributes = info.dwFileAttributes;
  result.links = info.nNumberOfLinks;
  result.here = folderFinal.empty() || SameNameIgnoringCase(FinalPath(handle), folderFinal + L'\\' + name);
  return result;
}

bool Gone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The name under which a folder opens: a root keeps its backslash ("C:" alone
// would be the drive's current folder); the empty path is the current folder.
std::wstring FolderToOpen(const std::string& path) {
  if (path.empty()) return L".";
  std::wstring folder = Utf8ToUtf16(path);
  const bool root = folder == L"\\" || (folder.size() <= 3 && folder.size() >= 2 && folder[1] == L':');
  if (root) return folder.size() == 2 ? folder + L'\\' : folder;
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

bool DeleteThroughHandle(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

}  // namespace

struct HeldFolder::Impl {
  UniqueFileHandle handle;
  std::wstring finalPath;
};

HeldFolder::HeldFolder(std::unique_ptr<Impl> impl, std::string path) : impl_(std::move(impl)), path_(std::move(path)) {}
HeldFolder::~HeldFolder() = default;

std::unique_ptr<HeldFolder> HeldFolder::OpenTrusted(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->handle.reset(::CreateFileW(FolderToOpen(path).c_str(), kHoldAccess, kHoldShare, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!impl->handle) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(impl->handle.get(), &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return nullptr;
  }
  impl->finalPath = FinalPath(impl->handle.get());
  return std::unique_ptr<HeldFolder>(new HeldFolder(std::move(impl), path.empty() ? "" : IncludeTrailingBackslash(path)));
}

std::unique_ptr<HeldFolder> HeldFolder::EnterChild(const std::string& name, const void* securityAttributes) const {
  const std::wstring path = Utf8ToUtf16(path_ + name);
  const std::wstring wideName = Utf8ToUtf16(name);
  auto* security = static_cast<SECURITY_ATTRIBUTES*>(const_cast<void*>(securityAttributes));
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (!::CreateDirectoryW(path.c_str(), security) && ::GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->handle.reset(::CreateFileW(path.c_str(), kHoldAccess, kHoldShare, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (impl->handle) {
      const NameInfo info = Inspect(impl->handle.get(), impl_->finalPath, wideName);
      if (info.here && info.Directory() && !info.Reparse()) {
        impl->finalPath = FinalPath(impl->handle.get());
        return std::unique_ptr<HeldFolder>(new HeldFolder(std::move(impl), path_ + name + "\\"));
      }
      impl->handle.reset();
    } else if (Gone(::GetLastError())) {
      continue;  // removed meanwhile: create it again
    }

    // Something else bears the name. Only a link of its own, opened as itself,
    // may go: removing it through its handle removes the link, not its target.
    UniqueFileHandle link(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kAnyShare, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link) {
      if (Gone(::GetLastError())) continue;
      return nullptr;
    }
    const NameInfo info = Inspect(link.get(), impl_->finalPath, wideName);
    if (!info.here || !info.Reparse() || !DeleteThroughHandle(link.get())) return nullptr;
  }
  return nullptr;
}

std::unique_ptr<FileStream> HeldFolder::CreateNewFile(const std::string& name, ReadOnlyFile readOnly) const {
  const std::wstring path = Utf8ToUtf16(path_ + name);
  const std::wstring wideName = Utf8ToUtf16(name);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // CREATE_NEW never opens what exists, a link included.
    const HANDLE created = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) return FileStream::Adopt(reinterpret_cast<std::intptr_t>(created));
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return nullptr;

    // Without backup semantics a folder does not open: it is never removed here.
    UniqueFileHandle existing(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                            kAnyShare, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!existing) {
      if (Gone(::GetLastError())) continue;
      return nullptr;  // in use, or a folder
    }
    // Only a file on disk gives way: never a device or a pipe of that name.
    if (::GetFileType(existing.get()) != FILE_TYPE_DISK) return nullptr;
    const NameInfo info = Inspect(existing.get(), impl_->finalPath, wideName);
    if (!info.here || info.Directory()) return nullptr;
    if (info.attributes & FILE_ATTRIBUTE_READONLY) {
      if (info.Reparse() || info.links > 1) {
        // The attribute belongs to the file behind every name: leave it, and
        // remove this name despite it where the system can.
        DispositionInfoEx disposition{kDispositionDelete | kDispositionIgnoreReadOnly};
        if (!::SetFileInformationByHandle(existing.get(), kDispositionInfoEx, &disposition, sizeof disposition)) {
          return nullptr;
        }
        continue;
      }
      if (readOnly == ReadOnlyFile::Refuse) return nullptr;
      FILE_BASIC_INFO basic{};  // times of 0 stay as they are
      basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
      if (!::SetFileInformationByHandle(existing.get(), FileBasicInfo, &basic, sizeof basic)) return nullptr;
    }
    if (!DeleteThroughHandle(existing.get())) return nullptr;
  }
  return nullptr;
}

}  // namespace tolvar
