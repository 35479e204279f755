// A file system in memory for tests and fuzzing. It behaves like a disk in the
// ways the extractor can notice: a file needs an existing parent folder, a file
// and a folder cannot share a path, read-only files refuse to be replaced, a
// locked file refuses to be opened, and a capacity limit makes writes short.
// Paths compare exactly; trailing backslashes of folders are ignored; a drive
// ("C:") or the empty path is a root that always exists.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "archive/ArchiveFileSystem.h"

namespace tolvar {

class MemoryFileSystem final : public ArchiveFileSystem {
 public:
  using Bytes = std::vector<std::uint8_t>;

  MemoryFileSystem();
  ~MemoryFileSystem() override;

  bool FileExists(const std::string& path) override;
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override;
  std::unique_ptr<Stream> CreateForWriting(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;

  // Setting up: a file (its folders are created) and a plain folder.
  void AddFile(const std::string& path, Bytes bytes);
  void AddFolder(const std::string& path) { ForceDirectories(path); }
  // A file that cannot be replaced, and one that another process holds open.
  void SetReadOnly(const std::string& path) { readOnly_.insert(path); }
  void SetLocked(const std::string& path) { locked_.insert(path); }
  // The number of bytes that writes may add to the files, all together; writes
  // beyond it are short, as on a full disk.
  void SetCapacity(std::uint64_t bytes) { shared_->capacity = bytes; }

  // Looking at the result.
  std::optional<Bytes> FileBytes(const std::string& path) const;
  bool FolderExists(const std::string& path) const;
  std::vector<std::string> FilePaths() const;
  const std::set<std::string>& Folders() const noexcept { return folders_; }
  // Every path that was created, files and folders, in order.
  const std::vector<std::string>& CreatedPaths() const noexcept { return created_; }
  // The number of streams handed out and not yet destroyed.
  int OpenStreams() const noexcept { return shared_->openStreams; }

 private:
  struct File {
    Bytes bytes;
  };
  // Shared with the streams, which may outlive a moment of the file system's state.
  struct Shared {
    std::optional<std::uint64_t> capacity;
    std::uint64_t written = 0;
    int openStreams = 0;
  };
  class FileStreamInMemory;
  static std::string FolderKey(const std::string& path);
  bool IsRoot(const std::string& key) const;
  bool CreateOneFolder(const std::string& key);

  std::map<std::string, std::shared_ptr<File>> files_;
  std::set<std::string> folders_;
  std::set<std::string> readOnly_;
  std::set<std::string> locked_;
  std::vector<std::string> created_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace tolvar
