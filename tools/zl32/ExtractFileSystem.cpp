#include "tools/zl32/ExtractFileSystem.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {
namespace {

// A folder of the disk together with its path, for the messages and the
// existing-file check.
class NamedFolder final : public ArchiveFolder {
 public:
  NamedFolder(std::unique_ptr<ArchiveFolder> held, std::string path) : held_(std::move(held)), path_(std::move(path)) {}
  const ArchiveFolder& Held() const { return *held_; }
  const std::string& Path() const { return path_; }

 private:
  std::unique_ptr<ArchiveFolder> held_;
  std::string path_;  // with a trailing backslash
};

// A new file's stream that remembers why a write fell short.
class ReportingStream final : public Stream {
 public:
  ReportingStream(std::unique_ptr<Stream> file, std::string path, std::string& lastFailure)
      : file_(std::move(file)), path_(std::move(path)), lastFailure_(lastFailure) {}
  std::size_t Read(void* buffer, std::size_t count) override { return file_->Read(buffer, count); }
  std::size_t Write(const void* buffer, std::size_t count) override {
    const std::size_t written = file_->Write(buffer, count);
    if (written < count) {
      lastFailure_ = Shown(path_) + ": cannot be written in full: " + SystemErrorText(LastSystemError());
    }
    return written;
  }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override { return file_->Seek(offset, origin); }

 private:
  std::unique_ptr<Stream> file_;
  std::string path_;
  std::string& lastFailure_;
};

}  // namespace

void ExtractFileSystem::Failed(const std::string& path, const std::string& why) {
  lastFailure_ = Shown(path) + ": " + why;
}

bool ExtractFileSystem::FileExists(const std::string& path) { return disk_.FileExists(path); }

std::unique_ptr<Stream> ExtractFileSystem::OpenForReading(const std::string& path) {
  auto archive = disk_.OpenForReading(path);
  if (!archive) Failed(path, "cannot be opened: " + OpenErrorText(LastSystemError()));
  else Succeeded();
  return archive;
}

std::unique_ptr<ArchiveFolder> ExtractFileSystem::OpenTarget(const std::string& path) {
  auto held = disk_.OpenTarget(path);
  if (!held) {
    Failed(path, "cannot be created or opened as a folder: " + SystemErrorText(LastSystemError()));
    return nullptr;
  }
  Succeeded();
  return std::make_unique<NamedFolder>(std::move(held), IncludeTrailingBackslash(path));
}

std::unique_ptr<ArchiveFolder> ExtractFileSystem::EnterFolder(const ArchiveFolder& parent, const std::string& name) {
  const auto& folder = static_cast<const NamedFolder&>(parent);
  const std::string path = folder.Path() + name + "\\";
  auto held = disk_.EnterFolder(folder.Held(), name);
  if (!held) {
    const int error = LastSystemError();
    Failed(path, FileExists(ExcludeTrailingBackslash(path)) ? "cannot be made a folder: a file bears its name"
                                                            : "cannot be made a folder: " + SystemErrorText(error));
    return nullptr;
  }
  Succeeded();
  return std::make_unique<NamedFolder>(std::move(held), path);
}

std::unique_ptr<Stream> ExtractFileSystem::CreateNewFile(const ArchiveFolder& folder, const std::string& name) {
  const auto& named = static_cast<const NamedFolder&>(folder);
  const std::string path = named.Path() + name;
  const auto [made, first] = created_.insert(PathKey(path));
  if (!overwrite_ && first && NameTaken(path)) {
    Failed(path, "exists already and is kept (--overwrite replaces it)");
    return nullptr;
  }
  auto file = disk_.CreateNewFile(named.Held(), name);
  if (!file) {
    const int error = LastSystemError();
    Failed(path, DirectoryExists(path) ? "cannot be created: a folder bears its name"
                                       : "cannot be created: " + SystemErrorText(error));
    return nullptr;
  }
  Succeeded();
  return std::make_unique<ReportingStream>(std::move(file), path, lastFailure_);
}

bool ExtractFileSystem::PathFits(const std::string& path) {
  if (disk_.PathFits(path)) return true;
  Failed(path, "the path is longer than the system allows");
  return false;
}

}  // namespace tolvar::zl32
