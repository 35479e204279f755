// zl32 check-medium: a medium folder read as Tolvar.exe will read it, in three
// parts that each say what they find: the bootstrapper (MediumPrograms.cpp),
// the archive with the wizard (MediumPrograms.cpp) and the definition file
// (MediumDefinition.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "archive/CodePage.h"
#include "platform/Authenticode.h"
#include "tools/zl32/Zl32Commands.h"

namespace tolvar::zl32 {

// Says what the checks find as they find it: a finding (Tolvar would not get
// through, or something could not be checked) on the error stream and counted,
// a warning there too, what is fine on the standard output.
class MediumReport {
 public:
  explicit MediumReport(const Output& output) : output_(output) {}

  void Finding(const std::string& path, const std::string& text);
  void Warn(const std::string& path, const std::string& text);
  void Fine(const std::string& path, const std::string& text);
  // A finding that was said elsewhere.
  void Count() { ++findings_; }

  int Findings() const { return findings_; }
  const Output& Out() const { return output_; }

 private:
  const Output& output_;
  int findings_ = 0;
};

// Tolvar.exe: there, and a window program for x86-64. Its signature; nothing
// when there is no program to check.
std::optional<FileSignature> CheckBootstrapper(const std::string& medium, MediumReport& report);

// What the archive writes at its top: names as Windows compares them
// (WindowsNameKey) with the name as written and whether it is a folder.
struct ArchiveTop {
  struct Item {
    std::string name;
    bool folder = false;
  };
  std::map<std::u16string, Item> items;
};

// WIZARD.zl: passes zl32 test, holds setupostrel.exe at its top, and its wizard
// is signed as a signed Tolvar.exe demands (same certificate).
ArchiveTop CheckArchive(const std::string& medium, const CodePage& codePage,
                        const std::optional<FileSignature>& bootstrapper, MediumReport& report);

// tolvar.def: read as Tolvar reads it; every source found on the medium or on
// the disk `disks` gives for SrcDisk; every copy's name a safe one of its own.
void CheckDefinition(const std::string& medium, const std::map<std::int32_t, std::string>& disks,
                     const ArchiveTop& top, const CodePage& codePage, MediumReport& report);

}  // namespace tolvar::zl32
