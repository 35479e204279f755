// Reading and writing registry values below a root key, with UTF-8 names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Handle_win.h"

namespace tolvar {

// A registry key path as the program writes it: a leading backslash means "from the
// root" and a trailing backslash ends the key. The registry wants neither.
std::wstring NormalizeKeyPath(const std::string& keyPath);

class RegistryKey {
 public:
  // Opens an existing key for reading; an empty key when it cannot be opened.
  // `view` may ask for one registry view on 64-bit Windows (KEY_WOW64_32KEY or
  // KEY_WOW64_64KEY); 0 is the program's own.
  static RegistryKey OpenRead(HKEY root, const std::string& keyPath, REGSAM view = 0);
  // Opens a key for reading and writing, creating it and its parents if needed.
  static RegistryKey OpenOrCreate(HKEY root, const std::string& keyPath, REGSAM view = 0);

  bool IsOpen() const noexcept { return static_cast<bool>(key_); }
  HKEY get() const noexcept { return key_.get(); }

  // A string value (REG_SZ or REG_EXPAND_SZ, not expanded); nothing when the value
  // is missing or of another type.
  std::optional<std::string> ReadString(const std::string& name) const;
  // A 32-bit value (REG_DWORD); nothing when missing or of another type.
  std::optional<std::uint32_t> ReadDword(const std::string& name) const;

  bool WriteString(const std::string& name, const std::string& value) const;
  bool WriteDword(const std::string& name, std::uint32_t value) const;
  bool DeleteValue(const std::string& name) const;

 private:
  UniqueRegKey key_;
};

// Deletes a key with all its subkeys and values; true when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::string& keyPath);

}  // namespace tolvar
