// Reads a whole archive the way the extractor does, without writing anything,
// and reports what it holds and everything the extractor would not unpack as
// its writer meant, on this system or on Windows: the archive tool's "list" and
// "test".
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
  std::string name;        // shown: escaped and cut (PrintableName); all bytes escaped when undecodable
  std::string rawName;     // the name's bytes as the archive holds them
  std::string path;        // UTF-8 below the top with '\' separators; empty when a name on the way is unusable
  std::int64_t offset = 0;        // where the entry starts in the archive
  std::int64_t dataOffset = 0;    // kind 0: where its member starts
  std::int64_t recordSize = 0;    // the size the record gives
  std::int64_t inflatedSize = 0;  // what the member really inflates to
  std::int64_t packedSize = 0;    // the member's compressed length
};

struct InspectOptions {
  // The folder a Windows bootstrapper unpacks into (with a trailing backslash):
  // paths below it that Windows cannot name are warned about. Empty: no check.
  std::string windowsTarget;
  // The separator of the paths in the report's texts.
  char separator = '\\';
};

struct ArchiveInspection {
  bool isArchive = false;   // a whole header with the signature
  bool damaged = false;     // reading stopped at damaged or missing data, or the
                            // header announces more chunks than the files hold
  std::int32_t progressTotal = 0;
  std::int64_t expectedProgressTotal = 0;  // the sum of the files' chunk counts
  std::vector<ArchiveListEntry> entries;
  std::vector<std::string> faults;    // each one stops `test`; damage is the last
  std::string refusedName;            // the first fault of a name the extractor refuses
  std::vector<std::string> warnings;  // what may fail on some systems (long paths)
  std::vector<std::string> notes;     // harmless oddities

  bool Sound() const { return isArchive && faults.empty(); }
};

// Reads the archive from its current position to its end. Checks: the header,
// every entry complete, every file and folder name decodable and safe, no two
// names of one folder that Windows takes for one (letter case ignored, as
// WindowsNameKey), no leave entry above the top, folders balanced, every member a
// complete zlib stream inflating to exactly its record's size (a member that does
// not is damage: reading stops there, as extracting does), the progress total, at
// least one entry. Faults name the entry, its number and where it starts.
ArchiveInspection InspectArchive(Stream& archive, const CodePage& codePage, const InspectOptions& options = {});

}  // namespace tolvar
