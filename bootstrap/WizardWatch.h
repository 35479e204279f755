// Watching the extraction write the wizard: an archive file system that passes
// every call to another one and keeps the digest of the bytes written to one file
// directly in the target folder, so that the program started later can be
// compared with what the extraction made.
#pragma once

#include <optional>
#include <string>

#include "archive/ArchiveFileSystem.h"
#include "platform/Sha256.h"

namespace tolvar {

class WizardWatch final : public ArchiveFileSystem {
 public:
  // `fileName` is matched without regard to ASCII letter case, as Windows does.
  WizardWatch(ArchiveFileSystem& inner, std::string fileName);

  // The digest of what was last written to the file, once its stream is closed;
  // nullopt when the extraction made no such file (or moved about in it).
  const std::optional<Sha256Digest>& Digest() const noexcept { return digest_; }

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override { return inner_.OpenForReading(path); }
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override;
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override {
    return inner_.EnterFolder(parent, name);
  }
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override;
  bool PathFits(const std::string& path) override { return inner_.PathFits(path); }

 private:
  ArchiveFileSystem& inner_;
  std::string fileName_;
  const ArchiveFolder* target_ = nullptr;
  std::optional<Sha256Digest> digest_;
};

}  // namespace tolvar
