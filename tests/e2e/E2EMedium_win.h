// A scratch installation: a medium folder holding a copy of Tolvar.exe, and a
// program-files folder that the registry points at for the life of the object.
#pragma once

#include <optional>
#include <string>

#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar::test {

class E2EMedium {
 public:
  // Both folders have blanks in their paths, as "Program Files" has.
  explicit E2EMedium(const std::string& label);

  const std::string& Root() const noexcept { return root_.Path(); }
  const std::string& MediumFolder() const noexcept { return medium_; }
  const std::string& ProgramFiles() const noexcept { return programFiles_; }
  // <program files>\VORLAK SOFTWARE\Common Files\Ostrel\Setup\ .
  std::string SetupFolder() const;
  std::string WizardPath() const { return SetupFolder() + "setupostrel.exe"; }

  // The medium's WIZARD.zl, made as media makers make it: the test wizard as
  // setupostrel.exe (with its configuration) and two folders of data, packed
  // by zl32.exe; the bootstrapper unpacks it into the setup folder.
  bool PlaceWizard(unsigned sleepMs = 0, int exitCode = 0) const;
  // A fresh folder below the root for a tree to pack ("<root>\<label>\").
  std::string TreeFolder(const std::string& label) const;
  // Packs a folder into the medium's WIZARD.zl with zl32.exe.
  bool PackArchive(const std::string& treeFolder) const;
  std::string ArchivePath() const { return medium_ + "WIZARD.zl"; }
  // Copies the test wizard to any path (a planted program).
  static bool PlantWizardCopy(const std::string& path);

  // Starts the medium's Tolvar.exe as a user would, in another working folder.
  std::optional<ChildProcess> StartTolvar() const;

 private:
  ScratchFolder root_;
  std::string medium_;
  std::string programFiles_;
  ProgramFilesOverride override_;
};

}  // namespace tolvar::test
