#include "tests/support/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/Path.h"

namespace tolvar {

// A stream over one file of the memory file system.
class MemoryFileSystem::FileStreamInMemory final : public Stream {
 public:
  FileStreamInMemory(std::shared_ptr<File> file, std::shared_ptr<Shared> shared, bool writable)
      : file_(std::move(file)), shared_(std::move(shared)), writable_(writable) {
    ++shared_->openStreams;
  }
  ~FileStreamInMemory() override { --shared_->openStreams; }

  std::size_t Read(void* buffer, std::size_t count) override {
    const Bytes& bytes = file_->bytes;
    if (position_ >= bytes.size()) return 0;
    const std::size_t n = std::min<std::size_t>(count, bytes.size() - position_);
    std::memcpy(buffer, bytes.data() + position_, n);
    position_ += n;
    return n;
  }

  std::size_t Write(const void* buffer, std::size_t count) override {
    if (!writable_ || count == 0) return 0;
    Bytes& bytes = file_->bytes;
    std::size_t n = count;
    if (shared_->capacity) {
      // Only growth uses up capacity: the file may reach its size plus what is left.
      const std::uint64_t left = *shared_->capacity - std::min(*shared_->capacity, shared_->written);
      const std::uint64_t limit = bytes.size() + left;
      n = position_ >= limit ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(count, limit - position_));
    }
    if (n == 0) return 0;
    if (position_ + n > bytes.size()) {
      shared_->written += position_ + n - bytes.size();
      bytes.resize(position_ + n);
    }
    std::memcpy(bytes.data() + position_, buffer, n);
    position_ += n;
    return n;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
    if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(file_->bytes.size());
    if (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) return -1;
    const std::int64_t target = base + offset;
    if (target < 0) return -1;
    position_ = static_cast<std::size_t>(target);
    return target;
  }

 private:
  std::shared_ptr<File> file_;
  std::shared_ptr<Shared> shared_;
  bool writable_;
  std::size_t position_ = 0;
};

// A folder of the memory file system, by the path it was created with.
class MemoryFileSystem::Folder final : public ArchiveFolder {
 public:
  explicit Folder(std::string path) : path_(std::move(path)) {}
  // The path of a name inside it.
  std::string Child(const std::string& name) const { return path_.empty() ? name : path_ + "\\" + name; }

 private:
  std::string path_;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string key = path;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

bool MemoryFileSystem::IsRoot(const std::string& key) { return key.empty() || (key.size() == 2 && key[1] == ':'); }

const MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& key) const {
  const auto found = nodes_.find(key);
  return found == nodes_.end() ? nullptr : &found->second;
}

std::optional<std::string> MemoryFileSystem::Resolve(const std::string& path) const {
  std::string key = Key(path);
  // A bounded number of links, as a system stops a loop of them.
  for (int hops = 0; hops < 16; ++hops) {
    bool followed = false;
    for (std::size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
      const Node* node = Find(end == std::string::npos ? key : key.substr(0, end));
      if (node && (node->kind == Kind::FolderLink || node->kind == Kind::FileLink)) {
        key = Key(node->target) + (end == std::string::npos ? "" : key.substr(end));
        followed = true;
        break;
      }
      if (end == std::string::npos) break;
    }
    if (!followed) return key;
  }
  return std::nullopt;
}

const MemoryFileSystem::Node* MemoryFileSystem::FileNode(const std::string& path) const {
  const auto key = Resolve(path);
  const Node* node = key ? Find(*key) : nullptr;
  return node && node->kind == Kind::File ? node : nullptr;
}

void MemoryFileSystem::AddNode(const std::string& path, Node node) {
  node.path = path;
  nodes_[Key(path)] = std::move(node);
}

bool MemoryFileSystem::MakeFolders(const std::string& path) {
  std::string walk = path;
  while (!walk.empty() && walk.back() == '\\') walk.pop_back();
  if (walk.empty()) return true;  // the root
  int hops = 0;
  for (std::size_t at = 0;;) {
    const std::size_t end = walk.find('\\', at);
    const std::string prefix = walk.substr(0, end);
    const std::string key = Key(prefix);
    if (!IsRoot(key)) {
      const Node* node = Find(key);
      if (!node) {
        AddNode(prefix, Node{Kind::Folder});
        created_.push_back(prefix + "\\");
      } else if (node->kind == Kind::FolderLink) {
        if (++hops > 16) return false;
        std::string target = node->target;
        while (!target.empty() && target.back() == '\\') target.pop_back();
        walk = target + (end == std::string::npos ? "" : walk.substr(end));
        at = 0;
        continue;
      } else if (node->kind != Kind::Folder) {
        return false;
      }
    }
    if (end == std::string::npos) return true;
    at = end + 1;
  }
}

bool MemoryFileSystem::FolderExists(const std::string& path) const {
  const auto key = Resolve(path);
  if (!key) return false;
  const Node* node = Find(*key);
  return IsRoot(*key) || (node && node->kind == Kind::Folder);
}

bool MemoryFileSystem::IsLink(const std::string& path) const {
  const Node* node = Find(Key(path));
  return node && (node->kind == Kind::FolderLink || node->kind == Kind::FileLink);
}

int MemoryFileSystem::NameCount(const std::string& path) const {
  const Node* file = FileNode(path);
  if (!file) return 0;
  int names = 0;
  for (const auto& [key, node] : nodes_) names += node.kind == Kind::File && node.file == file->file;
  return names;
}

bool MemoryFileSystem::FileExists(const std::string& path) { return FileNode(path) != nullptr; }

std::unique_ptr<Stream> MemoryFileSystem::OpenForReading(const std::string& path) {
  const Node* node = FileNode(path);
  if (!node || locked_.count(Key(path)) != 0 || locked_.count(Key(node->path)) != 0) return nullptr;
  return std::make_unique<FileStreamInMemory>(node->file, shared_, false);
}

std::unique_ptr<ArchiveFolder> MemoryFileSystem::OpenTarget(const std::string& path) {
  // The target is taken as it is: a link on its way is followed.
  if (!MakeFolders(path)) return nullptr;
  const auto key = Resolve(path);
  const Node* node = key ? Find(*key) : nullptr;
  if (!key || (!node && !IsRoot(*key))) return nullptr;
  return std::make_unique<Folder>(node ? node->path : path.substr(0, key->size()));
}

std::unique_ptr<ArchiveFolder> MemoryFileSystem::EnterFolder(const ArchiveFolder& parent, const std::string& name) {
  const std::string path = static_cast<const Folder&>(parent).Child(name);
  if (!PathFits(path + "\\")) return nullptr;
  const Node* node = Find(Key(path));
  if (node && node->kind == Kind::File) return nullptr;
  if (node && node->kind == Kind::Folder) return std::make_unique<Folder>(node->path);
  if (node) removedLinks_.push_back(node->path);  // the link goes, never what it leads to
  AddNode(path, Node{Kind::Folder});
  created_.push_back(path + "\\");
  return std::make_unique<Folder>(path);
}

std::unique_ptr<Stream> MemoryFileSystem::CreateNewFile(const ArchiveFolder& folder, const std::string& name) {
  const std::string path = static_cast<const Folder&>(folder).Child(name);
  if (!PathFits(path)) return nullptr;
  const std::string key = Key(path);
  if (const Node* node = Find(key)) {
    if (node->kind == Kind::Folder) return nullptr;
    if (node->kind == Kind::File && (readOnly_.count(key) != 0 || locked_.count(key) != 0)) return nullptr;
    // This name goes; a file's other names keep their bytes.
    if (node->kind != Kind::File) removedLinks_.push_back(node->path);
    nodes_.erase(key);
  }
  Node created{Kind::File};
  created.file = std::make_shared<File>();
  auto file = created.file;
  AddNode(path, std::move(created));
  created_.push_back(path);
  return std::make_unique<FileStreamInMemory>(file, shared_, true);
}

bool MemoryFileSystem::PathFits(const std::string& path) { return !pathLimit_ || path.size() <= *pathLimit_; }

void MemoryFileSystem::AddFile(const std::string& path, Bytes bytes) {
  MakeFolders(ExtractFilePath(path));
  Node node{Kind::File};
  node.file = std::make_shared<File>();
  node.file->bytes = std::move(bytes);
  AddNode(path, std::move(node));
}

void MemoryFileSystem::AddFolder(const std::string& path) { MakeFolders(path); }

void MemoryFileSystem::AddFolderLink(const std::string& path, const std::string& target) {
  MakeFolders(ExtractFilePath(path));
  Node node{Kind::FolderLink};
  node.target = target;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::AddFileLink(const std::string& path, const std::string& target) {
  MakeFolders(ExtractFilePath(path));
  Node node{Kind::FileLink};
  node.target = target;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::AddHardLink(const std::string& path, const std::string& existing) {
  const Node* file = FileNode(existing);
  if (!file) return;
  MakeFolders(ExtractFilePath(path));
  Node node{Kind::File};
  node.file = file->file;
  AddNode(path, std::move(node));
}

void MemoryFileSystem::SetReadOnly(const std::string& path) { readOnly_.insert(Key(path)); }
void MemoryFileSystem::SetLocked(const std::string& path) { locked_.insert(Key(path)); }

std::optional<MemoryFileSystem::Bytes> MemoryFileSystem::FileBytes(const std::string& path) const {
  const Node* node = FileNode(path);
  if (!node) return std::nullopt;
  return node->file->bytes;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [key, node] : nodes_) {
    if (node.kind == Kind::File) paths.push_back(node.path);
  }
  return paths;
}

}  // namespace tolvar
