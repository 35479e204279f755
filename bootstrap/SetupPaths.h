// The paths of the start-up sequence, formed from the vendor common folder and the
// program's own folder.
#pragma once

#include <string>

#include "platform/Path.h"

namespace tolvar {

inline constexpr char kArchiveFileName[] = "WIZARD.zl";
inline constexpr char kWizardFileName[] = "setupostrel.exe";

// "<vendor common folder without its trailing backslash>\Ostrel\Setup\", each step
// stored as a 255-character string.
PathString FormSetupFolder(const std::string& vendorCommonFolder);

// The source folder: the program file's path up to and including its last
// backslash or drive colon.
std::string SourceFolderOf(const std::string& programPath);

// The archive beside the program: source folder + "WIZARD.zl", 255 characters.
PathString ArchivePathIn(const std::string& sourceFolder);

// The wizard's command line: the setup folder, "setupostrel.exe", a blank, and the
// source folder in double quotes, keeping its trailing backslash inside them.
std::string WizardCommandLine(const PathString& setupFolder, const std::string& sourceFolder);

// The wizard's program file: setup folder + "setupostrel.exe".
std::string WizardProgramPath(const PathString& setupFolder);

}  // namespace tolvar
