// Processor time as the host system accounts it. Under Wine, GetProcessTimes
// does not see the time a program spends in its calls into the Wine server, so a
// program that polls looks idle; the host's own accounting (/proc, reached
// through the Z: drive) does see it.
#pragma once

#include <optional>
#include <string>

namespace tolvar::test {

// User plus system time in milliseconds of every host process whose command line
// contains `needle`; nothing when no such process exists or /proc cannot be read.
std::optional<double> HostCpuMilliseconds(const std::string& needle);

// The same for the Wine server, which works on behalf of every program.
std::optional<double> WineServerCpuMilliseconds();

}  // namespace tolvar::test
