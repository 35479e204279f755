#include "platform/FileSystem.h"

#include "platform/Path.h"

namespace tolvar {

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  const std::string folder = ExcludeTrailingBackslash(path);
  if (folder.empty()) return true;  // "\": the root of the current drive
  if (DirectoryExists(folder)) return true;
  const std::string parent = ExtractFilePath(folder);
  if (parent == folder) return true;  // "C:" names a drive, not a folder to create
  if (!parent.empty() && !ForceDirectories(parent)) return false;
  // Another process may create the folder between the test and the call.
  return CreateDir(folder) || DirectoryExists(folder);
}

}  // namespace tolvar
