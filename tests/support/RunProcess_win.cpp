#include "tests/support/RunProcess_win.h"

#include "bootstrap/ProcessLaunch_win.h"

namespace tolvar::test {

std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait) {
  return RunProcess(commandLine, wait, false);
}

std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait, bool separateMachine) {
  return StartProcess({.commandLine = commandLine, .extraFlags = separateMachine ? CREATE_SEPARATE_WOW_VDM : 0u}, wait);
}

std::uintptr_t RunProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait) {
  return StartProcess({.programPath = programPath, .commandLine = commandLine}, wait);
}

}  // namespace tolvar::test
