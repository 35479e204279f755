#include "tests/e2e/E2EMedium_win.h"

#include <windows.h>

#include "platform/FileSystem.h"
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
  return ForceDirectories(SetupFolder()) && PlantWizardCopy(WizardPath()) &&
         ConfigureWizard(WizardPath(), sleepMs, exitCode);
}

bool E2EMedium::PlantWizardCopy(const std::string& path) {
  return CopyFileTo(TestProgramFolder() + "testwizard.exe", path);
}

std::optional<ChildProcess> E2EMedium::StartTolvar() const {
  const std::string program = medium_ + "Tolvar.exe";
  return ChildProcess::Start(program, "\"" + program + "\"", Root());
}

}  // namespace tolvar::test
