// The bootstrapper's whole run: setup folder, unpack, copy step, wizard launch.
#pragma once

#include <string>

namespace tolvar {

// The running program file's full path.
std::string ProgramFilePath();

// The folder of the running program file, with a trailing backslash.
std::string ProgramSourceFolder();

// Runs the start-up sequence and the final message loop; returns the exit code.
int RunStartupSequence();

}  // namespace tolvar
