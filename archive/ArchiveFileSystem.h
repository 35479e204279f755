// The few file-system operations the extractor needs, behind an interface, so
// that it runs against the machine's disk or against memory (tests, fuzzing).
// Paths are UTF-8 with backslashes.
#pragma once

#include <memory>
#include <string>

#include "platform/Stream.h"

namespace tolvar {

class ArchiveFileSystem {
 public:
  virtual ~ArchiveFileSystem() = default;

  // True when the path names an existing regular file (a folder does not count).
  virtual bool FileExists(const std::string& path) = 0;
  // Opens an existing file for reading, shared with nobody, so the open fails
  // while another process holds the file; nullptr on failure.
  virtual std::unique_ptr<Stream> OpenForReading(const std::string& path) = 0;
  // Creates a file for writing, replacing any file of that name; nullptr on failure.
  virtual std::unique_ptr<Stream> CreateForWriting(const std::string& path) = 0;
  // Creates a folder with its missing parents (default security); true when it
  // exists afterwards.
  virtual bool ForceDirectories(const std::string& path) = 0;
};

// The machine's file system: Win32 wide-character calls on Windows; POSIX calls,
// with the program's '\' turned into '/', elsewhere.
ArchiveFileSystem& DiskFileSystem();

}  // namespace tolvar
