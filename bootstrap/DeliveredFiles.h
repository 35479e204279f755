// The files the extraction delivered, kept as they were written until the
// wizard has ended. An archive file system over the disk's that digests each
// file while the extraction writes it, holds it as soon as it is written (others
// may read and load it; nobody may write, rename or delete it) and reads it back
// through that hold: a file that is not what was written (changed in the moment
// between its writing and its hold) stops the extraction with a write error.
// Every folder the extraction entered stays held too. Everything is let go when
// the object goes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveFileSystem.h"
#include "platform/Sha256.h"

namespace tolvar {

class DeliveredFiles final : public ArchiveFileSystem {
 public:
  // `disk` must outlive this object.
  explicit DeliveredFiles(ArchiveFileSystem& disk);
  ~DeliveredFiles() override;

  // The held file `name` that the extraction wrote directly into the target
  // folder (letter case ignored, as Windows matches names), or nullptr.
  const HeldFile* HeldAtTop(const std::string& name) const;
  // True when the extraction made a file or folder of that name directly in the
  // target folder.
  bool DeliveredAtTop(const std::string& name) const;

  bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override { return disk_.OpenForReading(path); }
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override;
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override;
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override;
  bool FinishFile(const ArchiveFolder& folder, const std::string& name) override;
  bool PathFits(const std::string& path) override { return disk_.PathFits(path); }

 private:
  struct Delivered {
    const ArchiveFolder* folder;  // one of folders_
    std::string name;
    std::optional<HeldFile> held;  // empty for a folder
  };
  std::unique_ptr<ArchiveFolder> Keep(std::unique_ptr<ArchiveFolder> folder);

  ArchiveFileSystem& disk_;
  std::vector<std::unique_ptr<ArchiveFolder>> folders_;  // the target first
  std::vector<Delivered> delivered_;
  std::optional<Sha256Digest> written_;  // of the file last written, once its stream closed
};

}  // namespace tolvar
