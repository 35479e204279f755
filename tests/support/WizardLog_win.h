// Reading what the test wizard recorded about its runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvar::test {

struct WizardRun {
  std::string commandLine;
  std::string program;
  std::string workingFolder;
  std::uint64_t started = 0;
  std::uint64_t ended = 0;
};

// The runs recorded in "<wizard path without .exe>.log"; empty when it never ran.
std::vector<WizardRun> ReadWizardRuns(const std::string& wizardProgramPath);

// Writes the wizard's optional configuration beside it; with `waitFor`, the
// wizard ends only once that file exists (or after a minute).
bool ConfigureWizard(const std::string& wizardProgramPath, unsigned sleepMs, int exitCode,
                     const std::string& waitFor = {});

}  // namespace tolvar::test
