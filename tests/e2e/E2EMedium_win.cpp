#include "tests/e2e/E2EMedium_win.h"

#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar::test {

E2EMedium::E2EMedium(const std::string& label)
    : root_(label),
      medium_(root_ / "Medium 1\\"),
      programFiles_(root_ / "Program Files"),
      override_(programFiles_) {
  ForceDirectories(medium_);
  ForceDirectories(programFiles_);
  CopyFileTo(TestProgramFolder() + "Tolvar.exe", medium_ + "Tolvar.exe");
}

std::string E2EMedium::SetupFolder() const {
  return programFiles_ + "\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\";
}

bool E2EMedium::PlaceWizard(unsigned sleepMs, int exitCode) const {
  const std::string tree = TreeFolder("wizard tree");
  return PlantWizardCopy(tree + "setupostrel.exe") && ConfigureWizard(tree + "setupostrel.exe", sleepMs, exitCode) &&
         ForceDirectories(tree + "Data\\Obrázky") && WriteFileBytes(tree + "Data\\Návod.txt", "read me") &&
         WriteFileBytes(tree + "Data\\Obrázky\\logo.bmp", std::string(100000, 'L')) &&
         ForceDirectories(tree + "Empty folder") && PackArchive(tree);
}

std::string E2EMedium::TreeFolder(const std::string& label) const {
  const std::string folder = root_ / (label + "\\");
  RemoveTree(folder);
  ForceDirectories(folder);
  return folder;
}

bool E2EMedium::PackArchive(const std::string& treeFolder) const {
  const std::string zl32 = TestProgramFolder() + "zl32.exe";
  const std::string arguments = " pack \"" + ExcludeTrailingBackslash(treeFolder) + "\" -o \"" + ArchivePath() + "\"";
  auto packer = ChildProcess::Start(zl32, "\"" + zl32 + "\"" + arguments);
  const auto exitCode = packer ? packer->Wait(60000) : std::nullopt;
  return exitCode && *exitCode == 0;
}

bool E2EMedium::PlantWizardCopy(const std::string& path) {
  return CopyFileTo(TestProgramFolder() + "testwizard.exe", path);
}

std::optional<ChildProcess> E2EMedium::StartTolvar() const {
  const std::string program = medium_ + "Tolvar.exe";
  return ChildProcess::Start(program, "\"" + program + "\"", Root());
}

}  // namespace tolvar::test
