// Packs a folder tree into an archive: depth first, in each folder its files,
// then each subfolder between an enter and a leave entry, names in byte order.
// Every name is checked before the first byte is written, so a refused tree
// leaves no half-made archive behind it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

namespace tolvar {

// Where the tree comes from: the disk for the archive tool, memory for tests.
class PackSource {
 public:
  struct Listing {
    std::vector<std::string> files;    // names (UTF-8)
    std::vector<std::string> folders;
  };
  virtual ~PackSource() = default;
  // What a folder holds. Raises EArchivePackError when it cannot be listed or
  // holds something that is neither a file nor a folder.
  virtual Listing List(const std::string& folder) = 0;
  // A file's contents; nullptr when it cannot be opened.
  virtual std::unique_ptr<Stream> OpenFile(const std::string& path) = 0;
};

struct PackSummary {
  int files = 0;
  int folders = 0;
  std::int64_t bytes = 0;  // uncompressed
  std::int64_t progressTotal = 0;
};

// Packs everything below `root` (a folder path with backslashes). Raises
// EArchivePackError for a refused name or an unreadable file, naming the path
// below root; EStreamWriteError when the output takes less than it is given.
PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                     const CompressionSettings& settings);
inline PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                            int level) {
  return PackTree(source, root, out, codePage, CompressionSettings{.level = level});
}

}  // namespace tolvar
