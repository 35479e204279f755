// Folder creation with an everyone/full-access descriptor that files and
// subfolders inherit: the setup folder and the folders of the copy step.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace tolvar {

// Raised by ForceSharedDirectories for an empty path.
class EDirectoryCreateError : public std::runtime_error {
 public:
  EDirectoryCreateError() : std::runtime_error("Unable to create directory") {}
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

}  // namespace tolvar
