// The bootstrapper's whole run: setup folder, unpack, copy step, wizard launch.
#pragma once

namespace tolvar {

// Runs the start-up sequence and the final message loop; returns the exit code.
int RunStartupSequence();

}  // namespace tolvar
