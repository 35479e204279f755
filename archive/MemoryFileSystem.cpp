#include "archive/MemoryFileSystem.h"

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

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

std::string MemoryFileSystem::FolderKey(const std::string& path) {
  std::string key = path;
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

bool MemoryFileSystem::IsRoot(const std::string& key) const {
  return key.empty() || (key.size() == 2 && key[1] == ':');
}

bool MemoryFileSystem::FolderExists(const std::string& path) const {
  const std::string key = FolderKey(path);
  return IsRoot(key) || folders_.count(key) != 0;
}

bool MemoryFileSystem::FileExists(const std::string& path) { return files_.count(path) != 0; }

std::unique_ptr<Stream> MemoryFileSystem::OpenForReading(const std::string& path) {
  const auto found = files_.find(path);
  if (found == files_.end() || locked_.count(path) != 0) return nullptr;
  return std::make_unique<FileStreamInMemory>(found->second, shared_, false);
}

std::unique_ptr<Stream> MemoryFileSystem::CreateForWriting(const std::string& path) {
  if (path.empty() || path.back() == '\\' || readOnly_.count(path) != 0 || locked_.count(path) != 0) return nullptr;
  if (folders_.count(path) != 0 || !FolderExists(ExtractFilePath(path))) return nullptr;
  auto& file = files_[path];
  if (!file) {
    file = std::make_shared<File>();
    created_.push_back(path);
  }
  file->bytes.clear();
  return std::make_unique<FileStreamInMemory>(file, shared_, true);
}

bool MemoryFileSystem::CreateOneFolder(const std::string& key) {
  if (IsRoot(key) || folders_.count(key) != 0) return true;
  if (files_.count(key) != 0) return false;
  folders_.insert(key);
  created_.push_back(key + "\\");
  return true;
}

bool MemoryFileSystem::ForceDirectories(const std::string& path) {
  const std::string key = FolderKey(path);
  if (key.empty()) return false;
  // Every prefix that ends before a backslash is a folder on the way.
  for (std::size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1)) {
    if (!CreateOneFolder(key.substr(0, at))) return false;
  }
  return CreateOneFolder(key);
}

void MemoryFileSystem::AddFile(const std::string& path, Bytes bytes) {
  ForceDirectories(ExtractFilePath(path));
  auto file = std::make_shared<File>();
  file->bytes = std::move(bytes);
  files_[path] = std::move(file);
}

std::optional<MemoryFileSystem::Bytes> MemoryFileSystem::FileBytes(const std::string& path) const {
  const auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second->bytes;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const {
  std::vector<std::string> paths;
  for (const auto& [path, file] : files_) paths.push_back(path);
  return paths;
}

}  // namespace tolvar
