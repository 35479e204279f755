#include "tests/support/RegistrySnapshot_win.h"

#include "platform/Registry_win.h"
#include "platform/Utf.h"

namespace tolvar::test {

RegistryKeySnapshot::RegistryKeySnapshot(HKEY root, std::string key) : root_(root), key_(std::move(key)) {
  const RegistryKey existing = RegistryKey::OpenRead(root_, key_);
  existed_ = existing.IsOpen();
  if (!existed_) return;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameLength = 16384;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegEnumValueW(existing.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      break;
    }
    Value value{std::wstring(name, nameLength), type, std::vector<BYTE>(size)};
    DWORD read = size;
    ::RegQueryValueExW(existing.get(), value.name.c_str(), nullptr, &value.type, value.data.data(), &read);
    value.data.resize(read);
    values_.push_back(std::move(value));
  }
}

RegistryKeySnapshot::~RegistryKeySnapshot() {
  DeleteKeyTree(root_, key_);
  if (!existed_) return;
  const RegistryKey key = RegistryKey::OpenOrCreate(root_, key_);
  for (const Value& value : values_) {
    ::RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
  }
}

bool WriteRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  const RegistryKey opened = RegistryKey::OpenOrCreate(root, key);
  return opened.IsOpen() &&
         ::RegSetValueExW(opened.get(), Utf8ToUtf16(name).c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

std::optional<DWORD> ValueType(HKEY root, const std::string& key, const std::string& name) {
  const RegistryKey opened = RegistryKey::OpenRead(root, key);
  DWORD type = 0;
  if (!opened.IsOpen() ||
      ::RegQueryValueExW(opened.get(), Utf8ToUtf16(name).c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return type;
}

}  // namespace tolvar::test
