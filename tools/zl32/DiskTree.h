// The archive tool's view of the disk: folder listings for packing, full paths
// and removing a half-written archive. Paths are UTF-8 with backslashes.
#pragma once

#include <string>

#include "archive/ArchivePacker.h"

namespace tolvar::zl32 {

// Lists folders and opens files on the disk. Links, devices and other special
// files are refused rather than followed, so a tree cannot loop or pull in
// something that is not a plain file.
class DiskPackSource final : public PackSource {
 public:
  Listing List(const std::string& folder) override;
  std::unique_ptr<Stream> OpenFile(const std::string& path) override;
};

// The absolute form of a path, without a trailing backslash; empty on failure.
std::string AbsolutePath(const std::string& path);

// True when both paths name the same file system location (letter case ignored
// where the system ignores it).
bool SamePath(const std::string& a, const std::string& b);

// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

}  // namespace tolvar::zl32
