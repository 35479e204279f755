// The disk file system over the platform layer, whose Win32 and POSIX twins make
// the system calls (FileStream, FileSystem, HeldFolder).
#include "archive/ArchiveFileSystem.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/HeldFolder.h"

namespace tolvar {
namespace {

// The target holds its chain from the trusted root; a folder below it holds itself.
class DiskFolder final : public ArchiveFolder {
 public:
  explicit DiskFolder(HeldFolderChain chain) : chain_(std::move(chain)) {}
  explicit DiskFolder(std::unique_ptr<HeldFolder> folder) : folder_(std::move(folder)) {}
  const HeldFolder& Held() const { return folder_ ? *folder_ : chain_.Innermost(); }

 private:
  HeldFolderChain chain_;
  std::unique_ptr<HeldFolder> folder_;
};

class Disk final : public ArchiveFileSystem {
 public:
  explicit Disk(std::optional<std::string> trustedRoot) : trustedRoot_(std::move(trustedRoot)) {}

  bool FileExists(const std::string& path) override { return tolvar::FileExists(path); }
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override {
    return FileStream::OpenRead(path, FileShare::None);
  }

  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override {
    const bool below = trustedRoot_ && PathBelow(*trustedRoot_, path);
    const std::string root = below ? *trustedRoot_ : path;
    ForceDirectories(root);  // a root that cannot be made shows when it is opened
    auto chain = OpenFolderChain(root, path);
    if (!chain) return nullptr;
    return std::make_unique<DiskFolder>(std::move(*chain));
  }

  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override {
    auto child = static_cast<const DiskFolder&>(parent).Held().EnterChild(name);
    if (!child) return nullptr;
    return std::make_unique<DiskFolder>(std::move(child));
  }

  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override {
    return static_cast<const DiskFolder&>(folder).Held().CreateNewFile(name, ReadOnlyFile::Refuse);
  }

  std::optional<HeldFile> HoldFile(const ArchiveFolder& folder, const std::string& name) override {
    return static_cast<const DiskFolder&>(folder).Held().HoldFile(name);
  }

  bool PathFits(const std::string& path) override { return tolvar::PathFits(path); }

 private:
  std::optional<std::string> trustedRoot_;
};

}  // namespace

ArchiveFileSystem& DiskFileSystem() {
  static Disk disk(std::nullopt);
  return disk;
}

std::unique_ptr<ArchiveFileSystem> DiskFileSystemBelow(const std::string& trustedRoot) {
  return std::make_unique<Disk>(trustedRoot);
}

}  // namespace tolvar
