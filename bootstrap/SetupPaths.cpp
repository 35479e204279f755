#include "bootstrap/SetupPaths.h"

namespace tolvar {

PathString FormSetupFolder(const std::string& vendorCommonFolder) {
  const PathString vendor(ExcludeTrailingBackslash(vendorCommonFolder));
  return PathString(vendor.str() + "\\Ostrel\\Setup\\");
}

std::string SourceFolderOf(const std::string& programPath) { return ExtractFilePath(programPath); }

PathString ArchivePathIn(const std::string& sourceFolder) { return PathString(sourceFolder + kArchiveFileName); }

std::string WizardCommandLine(const PathString& setupFolder, const std::string& sourceFolder) {
  return setupFolder.str() + kWizardFileName + " \"" + sourceFolder + "\"";
}

std::string WizardProgramPath(const PathString& setupFolder) { return setupFolder.str() + kWizardFileName; }

}  // namespace tolvar
