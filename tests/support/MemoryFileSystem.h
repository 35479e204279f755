// A file system in memory for the archive tests and the fuzzer; no part of the
// program. It behaves like a Windows disk in the ways the extractor can notice:
// a file needs an existing parent folder, a file and a folder cannot share a
// name, names match without regard to ASCII letter case, read-only files refuse
// to be replaced, a locked file refuses to be opened, a capacity limit makes
// writes short, and paths longer than a limit cannot be named. Links may be
// planted: folder and file links that lead elsewhere, and second names (hard
// links) of a file. Trailing backslashes of folders are ignored; a drive ("C:")
// or the empty path is a root that always exists.
//
// Paths handed in by callers (the archive, the target, what tests look at)
// follow links; EnterFolder and CreateNewFile never do: like the disk, they
// replace a link bearing the name.
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
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override;
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override;
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override;
  bool PathFits(const std::string& path) override;

  // Setting up: a file (its folders are created) and a plain folder.
  void AddFile(const std::string& path, Bytes bytes);
  void AddFolder(const std::string& path);
  // A link at `path` (its folder is created) that leads to `target`, a folder or
  // a file; and a second name for the existing file `existing`.
  void AddFolderLink(const std::string& path, const std::string& target);
  void AddFileLink(const std::string& path, const std::string& target);
  void AddHardLink(const std::string& path, const std::string& existing);
  // A file that cannot be replaced, and one that another process holds open.
  void SetReadOnly(const std::string& path);
  void SetLocked(const std::string& path);
  // The number of bytes that writes may add to the files, all together; writes
  // beyond it are short, as on a full disk.
  void SetCapacity(std::uint64_t bytes) { shared_->capacity = bytes; }
  // The longest path (in bytes) that can be named; unlimited unless set.
  void SetPathLimit(std::size_t bytes) { pathLimit_ = bytes; }

  // Looking at the result; paths follow links.
  std::optional<Bytes> FileBytes(const std::string& path) const;
  bool FolderExists(const std::string& path) const;
  // True when the name itself (not followed) is a link.
  bool IsLink(const std::string& path) const;
  // The number of names that the file at `path` has.
  int NameCount(const std::string& path) const;
  std::vector<std::string> FilePaths() const;
  // Every path that was created, files and folders (ending with a backslash), in order.
  const std::vector<std::string>& CreatedPaths() const noexcept { return created_; }
  // Every link that gave way to a real folder or file, in order.
  const std::vector<std::string>& RemovedLinks() const noexcept { return removedLinks_; }
  // The number of streams handed out and not yet destroyed.
  int OpenStreams() const noexcept { return shared_->openStreams; }

 private:
  struct File {
    Bytes bytes;
  };
  enum class Kind { Folder, File, FolderLink, FileLink };
  struct Node {
    Kind kind = Kind::Folder;
    std::string path;               // as it was created
    std::shared_ptr<File> file;     // Kind::File; shared by every name of the file
    std::string target;             // the links
  };
  // Shared with the streams, which may outlive a moment of the file system's state.
  struct Shared {
    std::optional<std::uint64_t> capacity;
    std::uint64_t written = 0;
    int openStreams = 0;
  };
  class FileStreamInMemory;
  class Folder;

  static std::string Key(const std::string& path);
  static bool IsRoot(const std::string& key);
  const Node* Find(const std::string& key) const;
  // The key that `path` reaches when every link on the way is followed.
  std::optional<std::string> Resolve(const std::string& path) const;
  const Node* FileNode(const std::string& path) const;
  // Creates the folders of `path` that are missing, following links; false
  // when a file is on the way.
  bool MakeFolders(const std::string& path);
  void AddNode(const std::string& path, Node node);

  std::map<std::string, Node> nodes_;  // by Key()
  std::set<std::string> readOnly_;
  std::set<std::string> locked_;
  std::vector<std::string> created_;
  std::vector<std::string> removedLinks_;
  std::optional<std::size_t> pathLimit_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace tolvar
