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
class RegistryValueOverride {
 public:
  RegistryValueOverride(HKEY root, std::string key, std::string name, std::optional<std::string> value);
  RegistryValueOverride(const RegistryValueOverride&) = delete;
  RegistryValueOverride& operator=(const RegistryValueOverride&) = delete;
  ~RegistryValueOverride();

 private:
  HKEY root_;
  std::string key_;
  std::string name_;
  std::optional<std::string> saved_;
};

// Points the machine's program-files folder (the value the bootstrapper reads) at
// another folder for the life of the object.
class ProgramFilesOverride : public RegistryValueOverride {
 public:
  explicit ProgramFilesOverride(std::optional<std::string> folder)
      : RegistryValueOverride(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                              std::move(folder)) {}
};

}  // namespace tolvar::test
