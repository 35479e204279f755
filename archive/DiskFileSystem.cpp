// The disk file system over the platform layer, whose Win32 and POSIX twins make
// the system calls (FileStream, FileSystem).
#include "archive/ArchiveFileSystem.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace tolvar {
namespace {

class Disk final : public ArchiveFileSystem {
 public:
  bool FileExists(const std::string& path) override { return tolvar::FileExists(path); }
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override {
    return FileStream::OpenRead(path, FileShare::None);
  }
  std::unique_ptr<Stream> CreateForWriting(const std::string& path) override { return FileStream::Create(path); }
  bool ForceDirectories(const std::string& path) override { return tolvar::ForceDirectories(path); }
};

}  // namespace

ArchiveFileSystem& DiskFileSystem() {
  static Disk disk;
  return disk;
}

}  // namespace tolvar
