// How the archive tool speaks to its user: "zl32: ..." lines on the error
// stream, paths in the platform's own style with every name escaped as `list`
// shows names, the system's reason for a failure, counts in words.
#pragma once

#include <cstdint>
#include <string>

#include "tools/zl32/Zl32Commands.h"

namespace tolvar::zl32 {

// "zl32: <text>" on the error stream, always; "zl32: warning: <text>" and
// "zl32: note: <text>" there too, unless the run is quiet.
void Error(const Output& output, const std::string& text);
void Warning(const Output& output, const std::string& text);
void Note(const Output& output, const std::string& text);

// One line of a command's report on the standard output, unless the run is quiet.
void Report(const Output& output, const std::string& line);

// A path in the program's form (backslashes) as the user writes it on this
// platform ('/' on POSIX), each name escaped and cut as PrintableName does.
std::string Shown(const std::string& path);

// The platform's path separator in what the user sees.
char ShownSeparator();

// "1 file", "2 files".
std::string Counted(std::int64_t count, const char* one, const char* many);

// The error code of the last failed system call (errno, GetLastError()), and
// its text as the system says it ("No space left on device").
int LastSystemError();
std::string SystemErrorText(int code);
// The same for a file that could not be opened: POSIX says a lock held by
// another program in words of its own.
std::string OpenErrorText(int code);

}  // namespace tolvar::zl32
