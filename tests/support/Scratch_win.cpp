#include "tests/support/Scratch_win.h"

#include <atomic>
#include <vector>

#include "platform/FileStream.h"
#include "platform/Registry_win.h"
#include "platform/Utf.h"
#include "tests/support/HostLinks_win.h"

namespace tolvar::test {
namespace {

constexpr char kScratchRoot[] = "C:\\tolvar-tests\\";

}  // namespace

std::string TestProgramFolder() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::string path = Utf16ToUtf8(std::wstring_view(buffer.data(), length));
  return path.substr(0, path.find_last_of('\\') + 1);
}

ScratchFolder::ScratchFolder(const std::string& label) {
  static std::atomic<int> counter{0};
  ::CreateDirectoryW(Utf8ToUtf16(kScratchRoot).c_str(), nullptr);
  path_ = std::string(kScratchRoot) + label + " " + IntToStr(::GetCurrentProcessId()) + "-" + IntToStr(++counter) + "\\";
  RemoveTree(path_);
  ::CreateDirectoryW(Utf8ToUtf16(path_).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const std::wstring wide = Utf8ToUtf16(folder);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A link is removed itself, never entered: under Wine only the host can do
    // that (Windows calls on a host link act on its target).
    if (RunsUnderWine()) {
      RemoveHostLink(folder);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      ::RemoveDirectoryW(wide.c_str());
    } else {
      ::DeleteFileW(wide.c_str());
    }
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(wide.c_str());
    return;
  }
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW((wide + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") RemoveTree(folder + "\\" + Utf16ToUtf8(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(wide.c_str());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  auto file = FileStream::Create(path);
  return file && file->Write(bytes.data(), bytes.size()) == bytes.size();
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  auto file = FileStream::OpenRead(path, FileShare::ReadWrite);
  if (!file) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(file->Size()), '\0');
  if (file->Read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  return ::CopyFileW(Utf8ToUtf16(from).c_str(), Utf8ToUtf16(to).c_str(), FALSE) != FALSE;
}

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(Utf8ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

RegistryValueOverride::RegistryValueOverride(HKEY root, std::string key, std::string name,
                                             std::optional<std::string> value, REGSAM view)
    : root_(root), view_(view), key_(std::move(key)), name_(std::move(name)) {
  const RegistryKey existing = RegistryKey::OpenRead(root_, key_, view_);
  saved_ = existing.ReadString(name_);
  const RegistryKey writable = RegistryKey::OpenOrCreate(root_, key_, view_);
  if (value) {
    writable.WriteString(name_, *value);
  } else {
    writable.DeleteValue(name_);
  }
}

RegistryValueOverride::~RegistryValueOverride() {
  const RegistryKey writable = RegistryKey::OpenOrCreate(root_, key_, view_);
  if (saved_) {
    writable.WriteString(name_, *saved_);
  } else {
    writable.DeleteValue(name_);
  }
}

}  // namespace tolvar::test
