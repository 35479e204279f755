// The archive tool's commands. Each returns the process exit code (see
// UsageText) and writes its report to the given output streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tolvar::zl32 {

// Exit codes; 1 to 4 are the extractor's own result codes.
enum ExitCode : int {
  kExitOk = 0,
  kExitNotFound = 1,
  kExitOpenError = 2,
  kExitBadFormat = 3,
  kExitWriteError = 4,
  kExitDamaged = 5,
  kExitPackRefused = 6,
  kExitMediumFindings = 7,
  kExitUsage = 64,
};

// What `zl32 --help` shows: every command, then the exit codes.
std::string UsageText();

struct Output {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  bool terminalProgress = false;  // err is a terminal: progress bars may be drawn there
  bool quiet = false;             // -q: errors only; no report, warning or progress

  bool ShowsProgress() const { return terminalProgress && !quiet; }
};

// Runs the command line (arguments after the program name, UTF-8). Paths in the
// arguments are the system's own: '/' on POSIX; on Windows '\', '/' or both, as
// Windows itself takes them.
int RunZl32(const std::vector<std::string>& arguments, const Output& output);

// A path as a Windows user may type it ("out/new\deeper", "C:/x//y") in the
// program's form: every '/' becomes '\' and a run of separators counts as one,
// except the two that begin a network or device path ("\\server\share").
std::string FromWindowsArgument(const std::string& argument);

}  // namespace tolvar::zl32
