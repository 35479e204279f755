#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/FileStream.h"
#include "platform/Path.h"
#include "platform/PosixPath.h"
#include "tools/zl32/DiskTree.h"

namespace tolvar::zl32 {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

PackSource::Listing DiskPackSource::List(const std::string& folder) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(ToPosixPath(folder).c_str()));
  if (!dir) throw EArchivePackError(folder + ": cannot be listed");
  Listing listing;
  while (const dirent* item = readdir(dir.get())) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (lstat(ToPosixPath(IncludeTrailingBackslash(folder) + name).c_str(), &info) != 0) {
      throw EArchivePackError(IncludeTrailingBackslash(folder) + name + ": cannot be read");
    }
    if (S_ISREG(info.st_mode)) {
      listing.files.push_back(name);
    } else if (S_ISDIR(info.st_mode)) {
      listing.folders.push_back(name);
    } else {
      throw EArchivePackError(IncludeTrailingBackslash(folder) + name +
                              ": neither a plain file nor a folder (links are not followed)");
    }
  }
  return listing;
}

std::unique_ptr<Stream> DiskPackSource::OpenFile(const std::string& path) {
  return FileStream::OpenRead(path, FileShare::ReadWrite);
}

std::string AbsolutePath(const std::string& path) {
  // The folder part must exist; the last part may not exist yet.
  const std::string posix = ToPosixPath(ExcludeTrailingBackslash(path));
  const auto slash = posix.find_last_of('/');
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : posix.substr(0, slash);
  const std::string last = slash == std::string::npos ? posix : posix.substr(slash + 1);
  char resolved[PATH_MAX];
  if (!realpath(parent.c_str(), resolved)) return {};
  std::string full = resolved;
  if (!last.empty() && last != ".") {
    if (last == "..") {
      full = full.substr(0, std::max<std::size_t>(1, full.find_last_of('/')));
    } else {
      full += (full == "/" ? "" : "/") + last;
    }
  }
  return FromPosixPath(full);
}

bool SamePath(const std::string& a, const std::string& b) { return a == b; }

bool RemoveFile(const std::string& path) { return unlink(ToPosixPath(path).c_str()) == 0; }

}  // namespace tolvar::zl32
