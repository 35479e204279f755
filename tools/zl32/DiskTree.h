// The archive tool's view of the disk: folder listings for packing, full paths,
// and what already bears a name. Paths are UTF-8 with backslashes.
#pragma once

#include <string>

#include "archive/ArchivePacker.h"

namespace tolvar::zl32 {

// Lists folders and opens files on the disk. Links, devices and other special
// files are reported, never followed or opened, so a tree cannot loop or pull in
// something that is not a plain file. Failures say the system's reason.
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

// A key that two paths share when they name the same place: letter case folded
// where the system ignores it (as WindowsNameKey), the path itself elsewhere.
std::u16string PathKey(const std::string& path);

// True when something bears the name `path` (a link is not followed).
bool NameTaken(const std::string& path);

// True when `folder` does not exist or holds nothing.
bool FolderEmptyOrMissing(const std::string& folder);

}  // namespace tolvar::zl32
