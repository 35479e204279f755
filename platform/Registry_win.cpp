#include "platform/Registry_win.h"

#include <vector>

#include "platform/Utf.h"

namespace tolvar {

std::wstring NormalizeKeyPath(const std::string& keyPath) {
  std::string_view path = keyPath;
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return Utf8ToUtf16(path);
}

RegistryKey RegistryKey::OpenRead(HKEY root, const std::string& keyPath, REGSAM view) {
  RegistryKey result;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, NormalizeKeyPath(keyPath).c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
    result.key_.reset(key);
  }
  return result;
}

RegistryKey RegistryKey::OpenOrCreate(HKEY root, const std::string& keyPath, REGSAM view) {
  RegistryKey result;
  HKEY key = nullptr;
  if (::RegCreateKeyExW(root, NormalizeKeyPath(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE | view, nullptr, &key, nullptr) == ERROR_SUCCESS) {
    result.key_.reset(key);
  }
  return result;
}

std::optional<std::string> RegistryKey::ReadString(const std::string& name) const {
  if (!key_) return std::nullopt;
  const std::wstring valueName = Utf8ToUtf16(name);
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  // The value may change between the two queries; retry with the size it reports.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    const LSTATUS status = ::RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_MORE_DATA) {
      bytes = size;
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    // Stored strings need not be terminated; stop at the first NUL or the data's end.
    std::wstring_view text(buffer.data(), size / sizeof(wchar_t));
    const auto nul = text.find(L'\0');
    if (nul != std::wstring_view::npos) text = text.substr(0, nul);
    return Utf16ToUtf8(text);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> RegistryKey::ReadDword(const std::string& name) const {
  if (!key_) return std::nullopt;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExW(key_.get(), Utf8ToUtf16(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value) const {
  if (!key_) return false;
  const std::wstring text = Utf8ToUtf16(value);
  return ::RegSetValueExW(key_.get(), Utf8ToUtf16(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const std::string& name, std::uint32_t value) const {
  if (!key_) return false;
  const DWORD data = value;
  return ::RegSetValueExW(key_.get(), Utf8ToUtf16(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) const {
  return key_ && ::RegDeleteValueW(key_.get(), Utf8ToUtf16(name).c_str()) == ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const std::string& keyPath) {
  const std::wstring path = NormalizeKeyPath(keyPath);
  if (path.empty()) return false;  // never the whole root
  const LSTATUS status = ::RegDeleteTreeW(root, path.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
  return ::RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS || !RegistryKey::OpenRead(root, keyPath).IsOpen();
}

}  // namespace tolvar
