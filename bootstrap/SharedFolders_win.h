// Folder creation with an everyone/full-access descriptor that files and
// subfolders inherit: the setup folder and the folders of the copy step.
//
// Those folders give every local user full access, so whatever the run finds
// below the vendor folder may have been put there by someone else. Below the
// program-files folder (the shared tree's root, which only administrators may
// change) every folder on the way is checked to be a real folder, a link in its
// place gives way to a real folder (see HeldFolder), and the folders are held
// open until the run lets go of them, so they cannot be swapped meanwhile.
#pragma once

#include <windows.h>

#include <memory>
#include "platform/Error.h"
#include <string>

#include "platform/HeldFolder.h"

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

 private:
  SharedSecurity() = default;
  std::unique_ptr<unsigned char[]> selfRelative_;
  SECURITY_ATTRIBUTES attributes_{};
};

// Creates one folder (its parent must exist) with the shared descriptor.
bool CreateSharedDirectory(const std::string& path);

// The folders that ForceSharedDirectories checked, held open until Release.
class SharedFolderHold {
 public:
  bool Holds() const noexcept { return !chain_.empty(); }
  // The folder that was asked for; only while Holds().
  const HeldFolder& Innermost() const { return chain_.Innermost(); }
  void Release() noexcept { chain_.Release(); }

 private:
  friend bool ForceSharedDirectoriesBelow(const std::string&, const std::string&, SharedFolderHold&);
  HeldFolderChain chain_;
};

// The root of the shared tree: the program-files folder (with a trailing
// backslash), or empty, the current folder, when it is unknown and the vendor
// folder is relative.
std::string SharedTreeRoot();

// Creates a folder and all missing parents, root first, each with the shared
// descriptor; a relative path is created below the current folder. Raises
// EDirectoryCreateError for an empty path. Below SharedTreeRoot() every folder on
// the way is checked (links give way to real folders, see above); false when one
// cannot be made a real folder.
bool ForceSharedDirectories(const std::string& path);

// The same, holding the folder (and, below the shared tree's root, every folder
// above it up to the root) in `hold` until released.
bool ForceSharedDirectories(const std::string& path, SharedFolderHold& hold);

// The same with a given root of the shared tree. A path outside it is created as
// it is, unchecked, and only the folder itself is held.
bool ForceSharedDirectoriesBelow(const std::string& trustedRoot, const std::string& path, SharedFolderHold& hold);

}  // namespace tolvar
