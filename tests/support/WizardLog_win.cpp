#include "tests/support/WizardLog_win.h"

#include <sstream>

#include "tests/support/Scratch_win.h"

namespace tolvar::test {
namespace {

std::string BasePath(const std::string& program) {
  const auto dot = program.find_last_of('.');
  return dot == std::string::npos ? program : program.substr(0, dot);
}

}  // namespace

std::vector<WizardRun> ReadWizardRuns(const std::string& wizardProgramPath) {
  std::vector<WizardRun> runs;
  const auto text = ReadFileBytes(BasePath(wizardProgramPath) + ".log");
  if (!text) return runs;
  std::istringstream lines(*text);
  WizardRun run;
  for (std::string line; std::getline(lines, line);) {
    const auto value = [&](const char* key) { return line.substr(std::string(key).size()); };
    if (line == "run") run = WizardRun{};
    else if (line.rfind("commandline=", 0) == 0) run.commandLine = value("commandline=");
    else if (line.rfind("program=", 0) == 0) run.program = value("program=");
    else if (line.rfind("cwd=", 0) == 0) run.workingFolder = value("cwd=");
    else if (line.rfind("started=", 0) == 0) run.started = std::stoull(value("started="));
    else if (line.rfind("ended=", 0) == 0) run.ended = std::stoull(value("ended="));
    else if (line == "end") runs.push_back(run);
  }
  return runs;
}

bool ConfigureWizard(const std::string& wizardProgramPath, unsigned sleepMs, int exitCode,
                     const std::string& waitFor) {
  return WriteFileBytes(BasePath(wizardProgramPath) + ".cfg",
                        "sleep=" + std::to_string(sleepMs) + "\nexit=" + std::to_string(exitCode) + "\n" +
                            (waitFor.empty() ? "" : "waitfor=" + waitFor + "\n"));
}

}  // namespace tolvar::test
