// Starting a program as a new process, with an optional wait that keeps the
// caller's windows responsive.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar {

// Starts a command line as a new process. wait: 0 = return at once, -1 = wait
// until the process ends, otherwise wait at most that many milliseconds; the
// caller's windows are served meanwhile. Returns the (already closed) process
// handle value, or 0 when the process could not be created.
std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait);
// The same; separateMachine asks for the separate virtual machine of 16-bit
// programs (creation flag 0x800).
std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait, bool separateMachine);

// Starts exactly the program file `programPath` (no search along the command
// line's unquoted blanks) and hands it `commandLine` unchanged.
std::uintptr_t RunProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait);

}  // namespace tolvar
