// Folders that the program writes into although other users may change what
// lies there. A held folder was checked to be a real folder (not a link to
// somewhere else) and stays open, so that nobody can rename, remove or replace it
// while the program works inside it: on Windows through a handle that does not
// share delete access, on POSIX through a descriptor that later calls work
// relative to. Paths are UTF-8 with backslashes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStream.h"

namespace tolvar {

// A file held open for reading and shared for reading only: others may read and
// load it, nobody may write, rename or delete it while it is held (Windows;
// POSIX has no such sharing, the descriptor only keeps the file it opened).
struct HeldFile {
  std::unique_ptr<FileStream> contents;  // positioned at the start
  std::intptr_t nativeFile = 0;          // the same file (Win32 HANDLE or descriptor), owned by `contents`
  std::string path;
};

// What to do with an existing read-only file that a new file replaces.
enum class ReadOnlyFile {
  Refuse,   // the new file cannot be created
  Replace,  // a read-only file with a single name gives way like any other
};

class HeldFolder {
 public:
  ~HeldFolder();
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;

  // Opens an existing folder as it is, links on its path followed: a folder the
  // caller trusts (the program-files folder, a folder the user named). The empty
  // path is the current folder. nullptr when it is no folder or cannot be held.
  static std::unique_ptr<HeldFolder> OpenTrusted(const std::string& path);

  // The folder's path as opened, with a trailing backslash (empty for the
  // current folder): the prefix of the paths below it.
  const std::string& Path() const noexcept { return path_; }

  // Makes `name` (one path component) a real folder below this one and holds it:
  // a missing folder is created (Windows: with `securityAttributes`, a
  // SECURITY_ATTRIBUTES*, when given; elsewhere it is ignored); a link bearing the
  // name is removed, never what it points to, and a real folder created in its
  // place. nullptr when a file bears the name, when a link cannot be removed
  // safely, or when the folder cannot be created or held.
  std::unique_ptr<HeldFolder> EnterChild(const std::string& name, const void* securityAttributes = nullptr) const;

  // Creates the file `name` in this folder as a new file, open for reading and
  // writing and shared with nobody. Whatever bears the name is never opened
  // through: a link, or a file that has other names too, loses this name first,
  // and so does a plain file. nullptr when a folder bears the name, when the
  // name cannot be removed safely (a file in use; a read-only one unless
  // `readOnly` says Replace; a device or pipe), or when the file cannot be
  // created.
  //
  // Like EnterChild, it creates relative to this folder's handle, never by a path
  // looked up again; where the system still resolves the folder's name (Wine,
  // when the folder was renamed and a link put in its place from outside), the
  // new file or folder lands elsewhere: it is removed again and nullptr returned.
  std::unique_ptr<FileStream> CreateNewFile(const std::string& name, ReadOnlyFile readOnly) const;

  // Holds the existing file `name` of this folder (see HeldFile): a plain file on
  // disk with this one name, not a link; nullopt otherwise or when it is in use
  // for writing.
  std::optional<HeldFile> HoldFile(const std::string& name) const;

  // True when anything bears `name` in this folder (a link counts, whatever it
  // points to).
  bool HasName(const std::string& name) const;

  // Removes whatever bears `name` in this folder without following a link: a
  // file or a link itself, a folder with everything below it. True when nothing
  // bears the name afterwards; false when something could not be removed safely
  // (in use, or a link that the system opens at its target).
  bool RemoveName(const std::string& name) const;

 private:
  struct Impl;
  HeldFolder(std::unique_ptr<Impl> impl, std::string path);
  std::unique_ptr<Impl> impl_;
  std::string path_;
};

// A folder and the folders above it up to a trusted root, each held.
class HeldFolderChain {
 public:
  HeldFolderChain() = default;
  HeldFolderChain(HeldFolderChain&&) noexcept = default;
  HeldFolderChain& operator=(HeldFolderChain&&) noexcept = default;

  bool empty() const noexcept { return folders_.empty(); }
  // The deepest folder; the chain must not be empty.
  const HeldFolder& Innermost() const { return *folders_.back(); }
  std::size_t size() const noexcept { return folders_.size(); }
  // Lets go of every folder.
  void Release() noexcept { folders_.clear(); }

 private:
  friend std::optional<HeldFolderChain> OpenFolderChain(const std::string&, const std::string&, const void*);
  std::vector<std::unique_ptr<HeldFolder>> folders_;
};

// The part of `path` below `root` (both may end with a backslash; the empty root
// is the current folder and holds every relative path), or nullopt when the path
// does not lie in or below the root. Windows compares letters without case.
std::optional<std::string> PathBelow(const std::string& root, const std::string& path);

// Holds the existing folder `trustedRoot` as it is (OpenTrusted) and makes every
// folder of `path` below it a real folder (EnterChild, with `securityAttributes`
// for those it creates), holding each. nullopt when `path` does not lie below the
// root, a step of it is "..", or a folder on the way cannot be made or held.
std::optional<HeldFolderChain> OpenFolderChain(const std::string& trustedRoot, const std::string& path,
                                               const void* securityAttributes = nullptr);

}  // namespace tolvar
