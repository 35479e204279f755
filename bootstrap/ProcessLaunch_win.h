// Starting a program as a new process, with an optional wait that keeps the
// caller's windows responsive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace tolvar {

// A process to start: exactly the program file `programPath` (no search along
// the command line's unquoted blanks), or, when it is empty, the program that
// the system finds along `commandLine`; `commandLine` is handed over unchanged.
// `extraFlags` are added to the creation flags (a new console, normal priority).
struct ProcessStart {
  std::string programPath;
  std::string commandLine;
  DWORD extraFlags = 0;
};

// Starts the process. wait: 0 = return at once, -1 = wait until the process
// ends, otherwise wait at most that many milliseconds; the caller's windows are
// served meanwhile. Returns the (already closed) process handle value, or 0
// when the process could not be created.
std::uintptr_t StartProcess(const ProcessStart& start, std::int32_t wait);

// Starts exactly the program file `programPath` with `commandLine` unchanged
// and waits as StartProcess does. Where the system offers it, the new process
// prefers the system folder's DLLs to same-named ones beside the program; where
// the system refuses that, it starts as StartProcess would. The process is made
// suspended: `mayRun` (if set) is asked before any of its code has run, and when
// it answers false the process is ended unrun and 0 returned.
std::uintptr_t StartCheckedProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait,
                                   const std::function<bool()>& mayRun = {});

}  // namespace tolvar
