// POSIX: a held folder is an open descriptor, and everything below it is reached
// relative to it (openat, mkdirat, unlinkat), so a folder renamed or replaced
// after its check changes nothing. O_NOFOLLOW and O_EXCL keep every call off links.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/HeldFolder.h"
#include "platform/Path.h"
#include "platform/PosixPath.h"

namespace tolvar {
namespace {

// A name can be swapped between two calls; after this many rounds the other side
// wins and the call fails.
constexpr int kAttempts = 3;
constexpr int kRemovalDepth = 32;  // folders below a name that RemoveName takes apart

bool RemoveIn(int folder, const std::string& name, int depth) {
  struct stat info {};
  if (fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (S_ISDIR(info.st_mode)) {
    if (depth >= kRemovalDepth) return false;
    const int child = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (child < 0) return false;
    DIR* listing = fdopendir(child);
    if (!listing) {
      close(child);
      return false;
    }
    bool emptied = true;
    while (const dirent* entry = readdir(listing)) {
      const std::string entryName = entry->d_name;
      if (entryName != "." && entryName != ".." && !RemoveIn(dirfd(listing), entryName, depth + 1)) emptied = false;
    }
    closedir(listing);
    if (!emptied) return false;
  }
  // unlinkat removes a link itself, never what it points to.
  return unlinkat(folder, name.c_str(), S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0) == 0 || errno == ENOENT;
}

}  // namespace

struct HeldFolder::Impl {
  int fd = -1;
  ~Impl() {
    if (fd >= 0) close(fd);
  }
};

HeldFolder::HeldFolder(std::unique_ptr<Impl> impl, std::string path) : impl_(std::move(impl)), path_(std::move(path)) {}
HeldFolder::~HeldFolder() = default;

std::unique_ptr<HeldFolder> HeldFolder::OpenTrusted(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->fd = open(path.empty() ? "." : ToPosixPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (impl->fd < 0) return nullptr;
  return std::unique_ptr<HeldFolder>(new HeldFolder(std::move(impl), path.empty() ? "" : IncludeTrailingBackslash(path)));
}

std::unique_ptr<HeldFolder> HeldFolder::EnterChild(const std::string& name, const void*) const {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (mkdirat(impl_->fd, name.c_str(), 0777) != 0 && errno != EEXIST) return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->fd = openat(impl_->fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (impl->fd >= 0) return std::unique_ptr<HeldFolder>(new HeldFolder(std::move(impl), path_ + name + "\\"));
    struct stat info {};
    if (fstatat(impl_->fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;  // removed meanwhile: create it again
      return nullptr;
    }
    if (!S_ISLNK(info.st_mode)) return nullptr;  // a file, or a folder that cannot be opened
    // unlinkat removes the link itself, never what it points to.
    if (unlinkat(impl_->fd, name.c_str(), 0) != 0 && errno != ENOENT) return nullptr;
  }
  return nullptr;
}

std::unique_ptr<FileStream> HeldFolder::CreateNewFile(const std::string& name, ReadOnlyFile readOnly) const {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int fd = openat(impl_->fd, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) return FileStream::Adopt(fd);
    if (errno != EEXIST) return nullptr;
    struct stat info {};
    if (fstatat(impl_->fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT) continue;
      return nullptr;
    }
    // Only a file or a link gives way: never a folder, a device or a pipe.
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return nullptr;
    // A read-only file is one the caller may not write: what replacing it with an
    // open for writing would have met.
    if (readOnly == ReadOnlyFile::Refuse && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
        faccessat(impl_->fd, name.c_str(), W_OK, AT_EACCESS) != 0) {
      return nullptr;
    }
    if (unlinkat(impl_->fd, name.c_str(), 0) != 0 && errno != ENOENT) return nullptr;
  }
  return nullptr;
}

std::optional<HeldFile> HeldFolder::HoldFile(const std::string& name) const {
  // O_NONBLOCK: a FIFO of that name must not keep the open waiting.
  const int fd = openat(impl_->fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  auto contents = FileStream::Adopt(fd);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1) return std::nullopt;
  return HeldFile{std::move(contents), fd, path_ + name};
}

bool HeldFolder::HasName(const std::string& name) const {
  struct stat info {};
  return fstatat(impl_->fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

bool HeldFolder::RemoveName(const std::string& name) const { return RemoveIn(impl_->fd, name, 0); }

}  // namespace tolvar
