#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/FileStream.h"
#include "platform/Path.h"
#include "platform/PosixPath.h"
#include "platform/Utf.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

std::string KindOf(mode_t mode) {
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "neither a plain file nor a folder";
}

EArchivePackError Failure(const std::string& what) { return EArchivePackError(what + ": " + SystemErrorText(errno)); }

}  // namespace

PackSource::Listing DiskPackSource::List(const std::string& folder) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(ToPosixPath(folder).c_str()));
  if (!dir) throw Failure("cannot be listed");
  Listing listing;
  errno = 0;
  while (const dirent* item = readdir(dir.get())) {
    const std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    if (fstatat(dirfd(dir.get()), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      listing.others.emplace_back(name, "cannot be read: " + SystemErrorText(errno));
    } else if (S_ISREG(info.st_mode)) {
      listing.files.push_back(name);
    } else if (S_ISDIR(info.st_mode)) {
      listing.folders.push_back(name);
    } else {
      listing.others.emplace_back(name, KindOf(info.st_mode));
    }
    errno = 0;
  }
  if (errno != 0) throw Failure("cannot be listed");
  return listing;
}

std::unique_ptr<Stream> DiskPackSource::OpenFile(const std::string& path) {
  // Not blocking on a pipe, not following a link: the name may have changed
  // since the listing.
  const int fd = open(ToPosixPath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw Failure("cannot be opened");
  auto file = FileStream::Adopt(fd);
  struct stat info {};
  if (fstat(fd, &info) != 0) throw Failure("cannot be read");
  if (!S_ISREG(info.st_mode)) throw EArchivePackError("is now " + KindOf(info.st_mode) + ", no longer a plain file");
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return file;
}

std::string AbsolutePath(const std::string& path) {
  // The folder part must exist; the last part may not exist yet.
  const std::string posix = ToPosixPath(ExcludeTrailingBackslash(path));
  if (posix.empty()) return path.empty() ? std::string() : "\\";  // "/"
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

std::u16string PathKey(const std::string& path) { return Utf8ToU16(path); }

bool NameTaken(const std::string& path) {
  struct stat info {};
  return lstat(ToPosixPath(path).c_str(), &info) == 0;
}

bool FolderEmptyOrMissing(const std::string& folder) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(ToPosixPath(folder).c_str()));
  if (!dir) return errno == ENOENT;
  while (const dirent* item = readdir(dir.get())) {
    const std::string name = item->d_name;
    if (name != "." && name != "..") return false;
  }
  return true;
}

}  // namespace tolvar::zl32
