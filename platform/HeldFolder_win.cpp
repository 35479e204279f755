// Windows: a held folder is a handle that shares reading and writing but not
// deletion, so the folder can be neither renamed nor removed while it is open;
// holding every folder of a chain keeps the whole path what it was when checked.
// Everything below a held folder is opened and created relative to its handle
// (NtCreateFile with the handle as root directory), never by a path: an empty
// held folder made a mount point in place (which a hold that shares writing
// cannot stop) is then not followed.
//
// Wine resolves such a create by the folder's name all the same (measured on
// Wine 8: after the host renamed the held folder and put a link in its place,
// the create lands where the link points; after the host removed it, the create
// fails with STATUS_NO_SUCH_FILE). So every new file or folder is checked to be
// where it was meant to be, by its final path, and removed again when not.
//
// What a name denotes is always judged on a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT: Windows then opens a link itself, and the handle
// shows FILE_ATTRIBUTE_REPARSE_POINT. Where the system follows a link regardless
// (Wine opens a host symbolic link's target), the handle's final path lies
// elsewhere; such a name is never acted on, because removing it through the
// handle would remove what it points to.
#include <windows.h>
// After windows.h:
#include <winternl.h>

#include <vector>

#include "platform/Handle_win.h"
#include "platform/HeldFolder.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr int kAttempts = 3;  // rounds against a name swapped between two calls
constexpr int kRemovalDepth = 32;  // folders below a name that RemoveName takes apart

constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);

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

bool Gone(NTSTATUS status) { return status == kNameNotFound || status == kPathNotFound; }

// A handle opened or created relative to a folder's handle, the name itself
// never followed when it is a link.
struct RelativeOpen {
  UniqueFileHandle handle;
  NTSTATUS status = 0;
};

RelativeOpen OpenIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                    ULONG options, void* securityDescriptor = nullptr) {
  UNICODE_STRING unicodeName;
  unicodeName.Buffer = const_cast<wchar_t*>(name.c_str());
  unicodeName.Length = unicodeName.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, folder, securityDescriptor);
  IO_STATUS_BLOCK io{};
  HANDLE handle = INVALID_HANDLE_VALUE;
  RelativeOpen result;
  result.status = ::NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                                 disposition, options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT, nullptr,
                                 0);
  if (result.status >= 0) result.handle.reset(handle);
  return result;
}

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

bool RemoveIn(HANDLE folder, const std::wstring& folderFinal, const std::wstring& name, int depth);

// Removes everything in the folder open as `folder`, never following a link.
bool EmptyFolder(HANDLE folder, int depth) {
  const std::wstring folderFinal = FinalPath(folder);
  alignas(8) unsigned char buffer[4096];
  // Each round lists the folder afresh and removes what it found, until it is empty.
  for (;;) {
    if (!::GetFileInformationByHandleEx(folder, FileIdBothDirectoryRestartInfo, buffer, sizeof buffer)) {
      return ::GetLastError() == ERROR_NO_MORE_FILES;
    }
    bool removedAny = false;
    for (auto* entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(buffer);;
         entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<unsigned char*>(entry) +
                                                          entry->NextEntryOffset)) {
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        if (!RemoveIn(folder, folderFinal, name, depth)) return false;
        removedAny = true;
      }
      if (entry->NextEntryOffset == 0) break;
    }
    if (!removedAny) return true;
  }
}

bool RemoveIn(HANDLE folder, const std::wstring& folderFinal, const std::wstring& name, int depth) {
  const RelativeOpen target = OpenIn(folder, name, DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES |
                                     FILE_WRITE_ATTRIBUTES, kAnyShare, FILE_OPEN, 0);
  if (!target.handle) return Gone(target.status);
  const NameInfo info = Inspect(target.handle.get(), folderFinal, name);
  // Opened somewhere else (Wine opens a host link at its target): removing
  // through this handle would remove what the link points to.
  if (!info.here) return false;
  if (info.Directory() && !info.Reparse() && (depth >= kRemovalDepth || !EmptyFolder(target.handle.get(), depth + 1))) {
    return false;
  }
  if (info.attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO basic{};  // times of 0 stay as they are
    basic.FileAttributes = info.Directory() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!::SetFileInformationByHandle(target.handle.get(), FileBasicInfo, &basic, sizeof basic)) return false;
  }
  return DeleteThroughHandle(target.handle.get());
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
  const std::wstring wideName = Utf8ToUtf16(name);
  const auto* security = static_cast<const SECURITY_ATTRIBUTES*>(securityAttributes);
  HANDLE folder = impl_->handle.get();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // A missing folder is made first, and made again elsewhere never.
    RelativeOpen made = OpenIn(folder, wideName, DELETE | FILE_READ_ATTRIBUTES, kAnyShare, FILE_CREATE,
                               FILE_DIRECTORY_FILE, security ? security->lpSecurityDescriptor : nullptr);
    if (made.handle && !Inspect(made.handle.get(), impl_->finalPath, wideName).here) {
      DeleteThroughHandle(made.handle.get());
      return nullptr;
    }
    if (!made.handle && made.status != kNameCollision) return nullptr;
    made.handle.reset();  // its delete access would keep the hold below from being opened

    auto impl = std::make_unique<Impl>();
    RelativeOpen held = OpenIn(folder, wideName, kHoldAccess, kHoldShare, FILE_OPEN, 0);
    if (held.handle) {
      const NameInfo info = Inspect(held.handle.get(), impl_->finalPath, wideName);
      if (info.here && info.Directory() && !info.Reparse()) {
        impl->handle = std::move(held.handle);
        impl->finalPath = FinalPath(impl->handle.get());
        return std::unique_ptr<HeldFolder>(new HeldFolder(std::move(impl), path_ + name + "\\"));
      }
    } else if (Gone(held.status)) {
      continue;  // removed meanwhile: create it again
    }

    // Something else bears the name. Only a link of its own, opened as itself,
    // may go: removing it through its handle removes the link, not its target.
    const RelativeOpen link = OpenIn(folder, wideName, DELETE | FILE_READ_ATTRIBUTES, kAnyShare, FILE_OPEN, 0);
    if (!link.handle) {
      if (Gone(link.status)) continue;
      return nullptr;
    }
    const NameInfo info = Inspect(link.handle.get(), impl_->finalPath, wideName);
    if (!info.here || !info.Reparse() || !DeleteThroughHandle(link.handle.get())) return nullptr;
  }
  return nullptr;
}

std::unique_ptr<FileStream> HeldFolder::CreateNewFile(const std::string& name, ReadOnlyFile readOnly) const {
  const std::wstring wideName = Utf8ToUtf16(name);
  HANDLE folder = impl_->handle.get();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    // FILE_CREATE never opens what exists, a link included.
    RelativeOpen created =
        OpenIn(folder, wideName, GENERIC_READ | GENERIC_WRITE | DELETE, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
    if (created.handle) {
      if (!Inspect(created.handle.get(), impl_->finalPath, wideName).here) {
        DeleteThroughHandle(created.handle.get());
        return nullptr;
      }
      return FileStream::Adopt(reinterpret_cast<std::intptr_t>(created.handle.release()));
    }
    if (created.status != kNameCollision) return nullptr;

    // A folder does not open as a non-directory file: it is never removed here.
    const RelativeOpen existing = OpenIn(folder, wideName, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                         kAnyShare, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    if (!existing.handle) {
      if (Gone(existing.status)) continue;
      return nullptr;  // in use, or a folder
    }
    // Only a file on disk gives way: never a device or a pipe of that name.
    if (::GetFileType(existing.handle.get()) != FILE_TYPE_DISK) return nullptr;
    const NameInfo info = Inspect(existing.handle.get(), impl_->finalPath, wideName);
    if (!info.here || info.Directory()) return nullptr;
    if (info.attributes & FILE_ATTRIBUTE_READONLY) {
      if (info.Reparse() || info.links > 1) {
        // The attribute belongs to the file behind every name: leave it, and
        // remove this name despite it where the system can.
        DispositionInfoEx disposition{kDispositionDelete | kDispositionIgnoreReadOnly};
        if (!::SetFileInformationByHandle(existing.handle.get(), kDispositionInfoEx, &disposition,
                                          sizeof disposition)) {
          return nullptr;
        }
        continue;
      }
      if (readOnly == ReadOnlyFile::Refuse) return nullptr;
      FILE_BASIC_INFO basic{};  // times of 0 stay as they are
      basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
      if (!::SetFileInformationByHandle(existing.handle.get(), FileBasicInfo, &basic, sizeof basic)) return nullptr;
    }
    if (!DeleteThroughHandle(existing.handle.get())) return nullptr;
  }
  return nullptr;
}

std::optional<HeldFile> HeldFolder::HoldFile(const std::string& name) const {
  const std::wstring wideName = Utf8ToUtf16(name);
  RelativeOpen held = OpenIn(impl_->handle.get(), wideName, GENERIC_READ, FILE_SHARE_READ, FILE_OPEN,
                             FILE_NON_DIRECTORY_FILE);
  if (!held.handle || ::GetFileType(held.handle.get()) != FILE_TYPE_DISK) return std::nullopt;
  const NameInfo info = Inspect(held.handle.get(), impl_->finalPath, wideName);
  if (!info.here || info.Reparse() || info.links != 1) return std::nullopt;
  const auto native = reinterpret_cast<std::intptr_t>(held.handle.release());
  return HeldFile{FileStream::Adopt(native), native, path_ + name};
}

bool HeldFolder::HasName(const std::string& name) const {
  const RelativeOpen any = OpenIn(impl_->handle.get(), Utf8ToUtf16(name), FILE_READ_ATTRIBUTES, kAnyShare, FILE_OPEN, 0);
  return any.handle || !Gone(any.status);
}

bool HeldFolder::RemoveName(const std::string& name) const {
  return RemoveIn(impl_->handle.get(), impl_->finalPath, Utf8ToUtf16(name), 0);
}

}  // namespace tolvar
