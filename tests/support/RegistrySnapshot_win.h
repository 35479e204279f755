// Registry helpers for tests that touch a key of the program: a snapshot that
// puts the key's values back at the end, and raw writes of any value type.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tolvar::test {

// Remembers the values of a key (or that it did not exist) and restores exactly
// that state when it goes out of scope. Subkeys are not kept.
class RegistryKeySnapshot {
 public:
  RegistryKeySnapshot(HKEY root, std::string key);
  RegistryKeySnapshot(const RegistryKeySnapshot&) = delete;
  RegistryKeySnapshot& operator=(const RegistryKeySnapshot&) = delete;
  ~RegistryKeySnapshot();

 private:
  struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  HKEY root_;
  std::string key_;
  bool existed_ = false;
  std::vector<Value> values_;
};

// Writes a value of any type with the given bytes, creating the key.
bool WriteRawValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes);

// The type of a value, or nothing when it is missing.
std::optional<DWORD> ValueType(HKEY root, const std::string& key, const std::string& name);

}  // namespace tolvar::test
