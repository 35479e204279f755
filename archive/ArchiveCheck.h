// Reads a whole archive the way the extractor does, without writing anything,
// and reports what it holds and everything the extractor would not unpack as
// its writer meant: the archive tool's "list" and "test".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/CodePage.h"
#include "platform/Stream.h"

namespace tolvar {

struct ArchiveListEntry {
  int depth = 0;           // folders entered above this entry
  std::uint8_t kind = 0;   // 0 file, 1 enter folder, 2 leave folder, other: ignored
  std::string name;        // UTF-8, control bytes as \xNN; all bytes so when undecodable
  std::int64_t recordSize = 0;    // the size the record gives
  std::int64_t inflatedSize = 0;  // what the member really inflates to
  std::int64_t packedSize = 0;    // the member's compressed length
};

struct ArchiveInspection {
  bool isArchive = false;   // a whole header with the signature
  bool damaged = false;     // reading stopped at damaged or missing data, or the
                            // header announces more chunks than the files hold
  std::int32_t progressTotal = 0;
  std::int64_t expectedProgressTotal = 0;  // the sum of the files' chunk counts
  std::vector<ArchiveListEntry> entries;
  std::vector<std::string> faults;  // each one stops `test`
  std::vector<std::string> notes;   // harmless oddities

  bool Sound() const { return isArchive && faults.empty(); }
};

// Reads the archive from its current position to its end. Checks: the header,
// every entry complete, every file and folder name decodable and safe, no leave
// entry above the top, folders balanced, every member a complete zlib stream
// inflating to exactly its record's size (a member that does not is damage:
// reading stops there, as extracting does), the progress total, at least one
// entry.
ArchiveInspection InspectArchive(Stream& archive, const CodePage& codePage);

}  // namespace tolvar
