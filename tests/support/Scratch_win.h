// Scratch folders and registry values for the Windows tests; each one restores
// what it changed when it goes out of scope.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace tolvar::test {

// The folder of the running test program, with a trailing backslash; the
// programs under test are built beside it.
std::string TestProgramFolder();

// A fresh, empty folder below C:\tolvar-tests\, removed with its contents at the end.
// `label` may contain blanks, so that paths with blanks are exercised.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& label = "scratch");
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  // The folder with a trailing backslash.
  const std::string& Path() const noexcept { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

void RemoveTree(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadFileBytes(const std::string& path);
bool CopyFileTo(const std::string& from, const std::string& to);
bool PathExists(const std::string& path);

// Sets a string value under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER for the life of
// the object, or removes it (nullopt); the earlier state comes back at the end.
// `view` picks one registry view of 64-bit Windows (KEY_WOW64_32KEY, ...).
class RegistryValueOverride {
 public:
  RegistryValueOverride(HKEY root, std::string key, std::string name, std::optional<std::string> value,
                        REGSAM view = 0);
  RegistryValueOverride(const RegistryValueOverride&) = delete;
  RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;
  ~RegistryValueOverride();

 private:
  HKEY root_;
  REGSAM view_;
  std::string key_;
  std::string name_;
  std::optional<std::string> saved_;
};

inline constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Points the machine's program-files folder at another folder for the life of the
// object, in both registry views: the bootstrapper reads the 32-bit one first.
class ProgramFilesOverride {
 public:
  explicit ProgramFilesOverride(const std::optional<std::string>& folder)
      : ownView_(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", folder, KEY_WOW64_64KEY),
        view32_(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", folder, KEY_WOW64_32KEY) {}

 private:
  RegistryValueOverride ownView_;
  RegistryValueOverride view32_;
};

}  // namespace tolvar::test
