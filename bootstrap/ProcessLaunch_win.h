// Starting a program as a new process, with an optional wait that keeps the
// caller's windows responsive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Handle_win.h"
#include "platform/Sha256.h"

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

// A program file held open, sharing reading only, so that nobody can write,
// rename or delete it until its process has been created, and whose contents
// were checked once it was held.
class HeldProgram {
 public:
  // Holds `path` when it is a plain file (no link) whose contents have the digest
  // `expected`; nullopt when it cannot be held or is not what was expected.
  static std::optional<HeldProgram> Hold(const std::string& path, const Sha256Digest& expected);

  const std::string& Path() const noexcept { return path_; }

 private:
  HeldProgram(UniqueFileHandle file, std::string path) : file_(std::move(file)), path_(std::move(path)) {}
  friend std::uintptr_t RunHeldProgram(HeldProgram, const std::string&, std::int32_t, const std::function<void()>&);
  UniqueFileHandle file_;
  std::string path_;
};

// Starts exactly the held program with `commandLine` unchanged and waits as
// StartProcess does. Where the system offers it, the new process prefers the
// system folder's DLLs to same-named ones beside the program; where the system
// refuses that, it starts as StartProcess with that program file would. Right
// after the process has been created the hold ends and `onStarted` (if set)
// runs, before any waiting.
std::uintptr_t RunHeldProgram(HeldProgram program, const std::string& commandLine, std::int32_t wait,
                              const std::function<void()>& onStarted = {});

}  // namespace tolvar
