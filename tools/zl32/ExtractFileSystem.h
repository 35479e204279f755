// The disk as `zl32 extract` uses it: the bootstrapper's own file system, which
// in addition keeps the files that are already there (unless told to replace
// them: files the extraction itself made give way as in the bootstrapper) and
// remembers why its last call failed, in the user's words.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "archive/ArchiveFileSystem.h"

namespace tolvar::zl32 {

class ExtractFileSystem final : public ArchiveFileSystem {
 public:
  // overwrite: an existing file of an archive's name is replaced (as the
  // bootstrapper does); otherwise it is kept and the extraction stops.
  ExtractFileSystem(ArchiveFileSystem& disk, bool overwrite) : disk_(disk), overwrite_(overwrite) {}

  // Why the last call failed ("out/a.txt: cannot be created: Permission
  // denied"), or empty when it succeeded: the extractor stops right after the
  // call that stopped it.
  const std::string& LastFailure() const noexcept { return lastFailure_; }

  bool FileExists(const std::string& path) override;
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override;
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override;
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override;
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override;
  bool PathFits(const std::string& path) override;

 private:
  void Failed(const std::string& path, const std::string& why);
  void Succeeded() { lastFailure_.clear(); }

  ArchiveFileSystem& disk_;
  bool overwrite_;
  std::string lastFailure_;
  std::set<std::u16string> created_;  // PathKey of each file made here
};

}  // namespace tolvar::zl32
