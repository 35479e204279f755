// Writes a ZLib32 archive (see ArchiveFormat.h) that the extractor unpacks to the
// tree it was made from: the header, then entries in the order they are added,
// one zlib member per file. The bytes the extractor does not read are zeros.
//
// Files are read on the caller's thread and compressed on worker threads (see
// MemberEncoder.h), and the archive is written in order as the members are done,
// so its bytes are the same whatever the number of threads. A file up to
// `wholeFileLimit` is compressed whole; a larger one in pieces of `pieceSize`
// joined into one stream (SplitMember.h). What is read and not yet written stays
// under a limit, so a large tree never sits in memory whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/CodePage.h"
#include "archive/MemberEncoder.h"
#include "archive/OrderedOutput.h"
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

struct CompressionSettings {
  int level = kDefaultCompressionLevel;  // 0 to 9; -1 also means the default
  int threads = 0;                       // 0: one per processor
  std::size_t wholeFileLimit = 16u << 20;
  std::size_t pieceSize = 1u << 20;  // at least kPieceDictionarySize
  // What may be read and not yet written; 0: 32 MiB and 8 MiB per thread.
  std::size_t inFlightLimit = 0;
};

class ArchiveWriter {
 public:
  // Writes the header at once. `out` must be seekable: the progress total and
  // the sizes of files compressed in pieces are filled in when they are known.
  ArchiveWriter(Stream& out, const CodePage& codePage, const CompressionSettings& settings);
  explicit ArchiveWriter(Stream& out, const CodePage& codePage, int level = kDefaultCompressionLevel)
      : ArchiveWriter(out, codePage, CompressionSettings{.level = level}) {}

  // The file's entry and its contents, read to the end before this returns, as
  // one zlib member. Raises EArchivePackError for a refused name,
  // EStreamWriteError when the output takes less than it is given.
  void AddFile(const std::string& name, Stream& contents);
  void EnterFolder(const std::string& name);
  void LeaveFolder();

  // Writes what is still being compressed and fills in the progress total.
  // Raises when a folder is still open or nothing was added (the extractor's
  // readers expect at least one entry).
  void Finish();

  std::int64_t ProgressTotal() const noexcept { return progressTotal_; }
  int Depth() const noexcept { return depth_; }

 private:
  static std::vector<std::uint8_t> Entry(const std::string& rawName, std::uint8_t kind, std::int64_t size);
  void AddWhole(std::vector<std::uint8_t> data);
  std::int64_t AddInPieces(std::vector<std::uint8_t> data, Stream& contents);
  MemberEncoder& Encoder(int worker);

  Stream& out_;
  const CodePage& codePage_;
  CompressionSettings settings_;
  std::int64_t start_;
  std::int64_t progressTotal_ = 0;
  int depth_ = 0;
  int entries_ = 0;
  std::vector<std::unique_ptr<MemberEncoder>> encoders_;  // one per worker, made on first use
  std::unique_ptr<OrderedOutput> output_;                 // after the encoders: its workers use them
};

}  // namespace tolvar
