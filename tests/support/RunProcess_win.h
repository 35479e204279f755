// The classic ways to start a process that the launch tests drive: by command
// line alone, with the 16-bit programs' separate machine, or by program file.
// The bootstrapper itself starts only its held wizard.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar::test {

// The program the system finds along `commandLine`; wait as StartProcess.
std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait);
// The same; separateMachine asks for the separate virtual machine of 16-bit
// programs (creation flag 0x800).
std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait, bool separateMachine);
// Exactly the program file `programPath`, handed `commandLine` unchanged.
std::uintptr_t RunProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait);

}  // namespace tolvar::test
