#include "bootstrap/SystemInfoCtrl_win.h"

#include <vector>

#include "bootstrap/ShellFolderTable.h"
#include "platform/Path.h"
#include "platform/Registry_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// Asks a folder call for the length it needs, then for the folder itself.
template <typename FolderCall>
std::string PlatformFolder(FolderCall call) {
  const DWORD needed = call(nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed + 1, L'\0');
  const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return {};
  std::string folder = Utf16ToUtf8(std::wstring_view(buffer.data(), length));
  return folder.empty() ? folder : IncludeTrailingBackslash(folder);
}

// The program-files and common-files values as a 32-bit program reads them: on
// 64-bit Windows the 32-bit view names "C:\Program Files (x86)", below which the
// family's setups have always kept the vendor folder and where its 32-bit
// programs look for it. Where that view has no value, the program's own view.
std::string ReadProgramFolderValue(HKEY root, const ShellFolderSource& source) {
  const RegistryKey view32 = RegistryKey::OpenRead(root, source.key, KEY_WOW64_32KEY);
  const std::string value = view32.ReadString(source.valueName).value_or(std::string());
  return value.empty() ? ReadRegistryString(root, source.key, source.valueName) : value;
}

}  // namespace

std::string GetVendorCommonFolder() { return GetShellFolder(kProgramFilesFolder, true) + kVendorSuffix; }

std::string GetShellFolder(int index, bool currentUser) {
  const auto source = ResolveShellFolder(index, currentUser);
  if (!source) return {};
  std::string result;
  switch (source->api) {
    case ApiFolder::System: result = GetSystemFolder(); break;
    case ApiFolder::Windows: result = GetWindowsFolder(); break;
    case ApiFolder::Temp: result = GetTempFolder(); break;
    case ApiFolder::None: {
      const HKEY root = source->root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
      result = source->programFolder ? ReadProgramFolderValue(root, *source)
                                     : ReadRegistryString(root, source->key, source->valueName);
      break;
    }
  }
  if (!result.empty() && result.back() != '\\') result += '\\';
  return result;
}

std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName) {
  const RegistryKey key = RegistryKey::OpenRead(root, keyPath);
  return key.IsOpen() ? key.ReadString(valueName).value_or(std::string()) : std::string();
}

std::string GetSystemFolder() {
  return PlatformFolder([](wchar_t* buffer, DWORD size) { return static_cast<DWORD>(::GetSystemDirectoryW(buffer, size)); });
}

std::string GetWindowsFolder() {
  return PlatformFolder([](wchar_t* buffer, DWORD size) { return static_cast<DWORD>(::GetWindowsDirectoryW(buffer, size)); });
}

std::string GetTempFolder() {
  return PlatformFolder([](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
}

}  // namespace tolvar
