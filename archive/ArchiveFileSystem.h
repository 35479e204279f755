// The few file-system operations the extractor needs, behind an interface, so
// that it runs against the machine's disk or against memory (tests, fuzzing).
// Paths are UTF-8 with backslashes.
//
// The extractor never names a path below its target folder: it enters one folder
// at a time and creates files by name in the folder it holds, so a folder or file
// that someone replaces with a link on the way is never written through.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/HeldFolder.h"
#include "platform/Stream.h"

namespace tolvar {

// A folder the extractor works in; the file system keeps it from being renamed,
// removed or replaced while the object lives.
class ArchiveFolder {
 public:
  virtual ~ArchiveFolder() = default;
};

class ArchiveFileSystem {
 public:
  virtual ~ArchiveFileSystem() = default;

  // True when the path names an existing regular file (a folder does not count).
  virtual bool FileExists(const std::string& path) = 0;
  // Opens an existing file for reading, shared with nobody, so the open fails
  // while another process holds the file; nullptr on failure.
  virtual std::unique_ptr<Stream> OpenForReading(const std::string& path) = 0;

  // Creates the target folder with its missing parents (default security) and
  // holds it; nullptr when it cannot.
  virtual std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) = 0;
  // Makes `name` (one safe component) a real folder in `parent` and holds it:
  // creates it when missing; a link bearing the name gives way to a real folder.
  // nullptr when it cannot (a file bears the name, a link that cannot go).
  virtual std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) = 0;
  // Creates the file `name` in `folder` as a new file for writing. Whatever bears
  // the name is replaced, never written through; a read-only file, a file in use
  // and a folder refuse. nullptr on failure.
  virtual std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) = 0;
  // Told once the file `name` in `folder` has been written in full and its
  // stream closed; false stops the extraction with a write error (the file is
  // not what was written). Nothing to do by default.
  virtual bool FinishFile(const ArchiveFolder& folder, const std::string& name) {
    (void)folder;
    (void)name;
    return true;
  }
  // Holds the existing file `name` in `folder` (HeldFolder::HoldFile); nullopt
  // when it cannot, and on file systems that hold nothing.
  virtual std::optional<HeldFile> HoldFile(const ArchiveFolder& folder, const std::string& name) {
    (void)folder;
    (void)name;
    return std::nullopt;
  }

  // True when the platform can name a path this long (a folder's path ends with
  // a backslash).
  virtual bool PathFits(const std::string& path) = 0;
};

// The machine's file system: Win32 wide-character calls on Windows; POSIX calls,
// with the program's '\' turned into '/', elsewhere. Each target folder is taken
// as it is (a link on its path is followed: the caller chose it); below it
// nothing is followed.
ArchiveFileSystem& DiskFileSystem();

// The same, trusting only `trustedRoot` as it is: every folder from there down to
// a target below it is checked and held like the folders below the target. For
// a target elsewhere, as DiskFileSystem.
std::unique_ptr<ArchiveFileSystem> DiskFileSystemBelow(const std::string& trustedRoot);

}  // namespace tolvar
