// Writes a ZLib32 archive (see ArchiveFormat.h) that the extractor unpacks to the
// tree it was made from: the header, then entries in the order they are added,
// one zlib member per file. The bytes the extractor does not read are zeros.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

#include "archive/CodePage.h"
#include "platform/Error.h"
#include "platform/Stream.h"

namespace tolvar {

// Something that must not go into an archive: an unsafe or unencodable name,
// unbalanced folders, an archive without entries, a tree too large to count.
class EArchivePackError : public Error {
 public:
  using Error::Error;
};

// The name (UTF-8) as an archive stores it; raises EArchivePackError when it is
// not a safe single name, the code page cannot hold it, or it is too long.
std::string EncodeEntryName(const std::string& name, const CodePage& codePage);

class ArchiveWriter {
 public:
  // Writes the header at once. `out` must be seekable: the progress total and
  // each file's size are filled in when they are known. level: 0..9 or -1.
  ArchiveWriter(Stream& out, const CodePage& codePage, int level = Z_DEFAULT_COMPRESSION);

  // The file's entry and its contents, read to the end, as one zlib member.
  // Raises EArchivePackError for a refused name, EStreamWriteError when the
  // output takes less than it is given.
  void AddFile(const std::string& name, Stream& contents);
  void EnterFolder(const std::string& name);
  void LeaveFolder();

  // Fills in the progress total. Raises when a folder is still open or nothing
  // was added (the extractor's readers expect at least one entry).
  void Finish();

  std::int64_t ProgressTotal() const noexcept { return progressTotal_; }
  int Depth() const noexcept { return depth_; }

 private:
  std::int64_t WriteEntry(const std::string& rawName, std::uint8_t kind);
  std::int64_t Deflate(Stream& contents);

  Stream& out_;
  const CodePage& codePage_;
  int level_;
  std::int64_t start_;
  std::int64_t progressTotal_ = 0;
  int depth_ = 0;
  int entries_ = 0;
};

}  // namespace tolvar
