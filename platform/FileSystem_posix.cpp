#include "platform/FileSystem.h"

#include <limits.h>
#include <sys/stat.h>

#include "platform/PosixPath.h"

namespace tolvar {

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(ToPosixPath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return stat(ToPosixPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathFits(const std::string& path) { return path.size() < PATH_MAX; }

bool CreateDir(const std::string& path) { return mkdir(ToPosixPath(path).c_str(), 0777) == 0; }

}  // namespace tolvar
