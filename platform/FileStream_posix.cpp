#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/FileStream.h"
#include "platform/PosixPath.h"

namespace tolvar {

struct FileStream::Impl {
  int fd = -1;
  ~Impl() {
    if (fd >= 0) close(fd);
  }
};

FileStream::FileStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FileStream::~FileStream() = default;

std::unique_ptr<FileStream> FileStream::OpenRead(const std::string& path, FileShare share) {
  auto impl = std::make_unique<Impl>();
  impl->fd = open(ToPosixPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (impl->fd < 0) return nullptr;
  // POSIX has no share modes; an advisory lock keeps our own tools apart.
  if (share == FileShare::None && flock(impl->fd, LOCK_EX | LOCK_NB) != 0) return nullptr;
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::unique_ptr<FileStream> FileStream::Create(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->fd = open(ToPosixPath(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (impl->fd < 0) return nullptr;
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::unique_ptr<FileStream> FileStream::Adopt(std::intptr_t nativeFile) {
  auto impl = std::make_unique<Impl>();
  impl->fd = static_cast<int>(nativeFile);
  return std::unique_ptr<FileStream>(new FileStream(std::move(impl)));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    const ssize_t got = read(impl_->fd, out + total, count - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EStreamReadFailure();
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  return total;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    const ssize_t put = write(impl_->fd, in + total, count - total);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    total += static_cast<std::size_t>(put);
  }
  return total;
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  const off_t result = lseek(impl_->fd, static_cast<off_t>(offset), whence);
  return result < 0 ? -1 : static_cast<std::int64_t>(result);
}

}  // namespace tolvar
