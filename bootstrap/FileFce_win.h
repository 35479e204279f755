// Folder creation with an everyone/full-access descriptor that files and
// subfolders inherit, and starting a program with an optional wait that keeps the
// caller's windows responsive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Error.h"

namespace tolvar {

// Raised by ForceSharedDirectories for an empty path.
class EDirectoryCreateError : public Error {
 public:
  EDirectoryCreateError() : Error("Unable to create directory") {}
};

// The security attributes of the folders that the bootstrapper creates: revision 1,
// a discretionary list with one access-allowed entry for Everyone (S-1-1-0) with
// mask 0x1FFFFF and the object- and container-inherit flags, Everyone as group, no
// owner, in self-relative form. It owns its buffers.
class SharedSecurity {
 public:
  // Builds the descriptor; nullptr when a step fails.
  static std::unique_ptr<SharedSecurity> Build();

  SECURITY_ATTRIBUTES* Attributes() noexcept { return &attributes_; }
  PSECURITY_DESCRIPTOR Descriptor() const noexcept { return selfRelative_.get(); }

 private:
  SharedSecurity() = default;
  std::unique_ptr<unsigned char[]> selfRelative_;
  SECURITY_ATTRIBUTES attributes_{};
};

// Creates one folder (its parent must exist) with the shared descriptor.
bool CreateSharedDirectory(const std::string& path);

// Creates a folder and all missing parents, root first, each with the shared
// descriptor; a relative path is created below the current folder. Raises
// EDirectoryCreateError for an empty path.
bool ForceSharedDirectories(const std::string& path);

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
