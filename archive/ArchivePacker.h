// Packs a folder tree into an archive: depth first, in each folder its files,
// then each subfolder between an enter and a leave entry, names in byte order.
// The whole tree is read and checked first (PlanPack), every refusal of it
// collected, so that nothing is written for a tree that cannot be packed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveWriter.h"

namespace tolvar {

// Where the tree comes from: the disk for the archive tool, memory for tests.
class PackSource {
 public:
  struct Listing {
    std::vector<std::string> files;    // names (UTF-8)
    std::vector<std::string> folders;
    // Names that are neither a plain file nor a folder, with what they are
    // ("a symbolic link"); links are not followed.
    std::vector<std::pair<std::string, std::string>> others;
  };
  virtual ~PackSource() = default;
  // What a folder holds. Raises EArchivePackError saying why it cannot be listed.
  virtual Listing List(const std::string& folder) = 0;
  // A file's contents. Raises EArchivePackError saying why it cannot be read
  // (or returns nullptr).
  virtual std::unique_ptr<Stream> OpenFile(const std::string& path) = 0;
};

// One thing of the tree that cannot go into the archive, and why.
struct PackRefusal {
  std::string path;  // below the packed folder, UTF-8 with '\' separators; empty: the folder itself
  std::string reason;
};

// A tree with refusals: every one of them, in the order they were met.
class EPackRefused : public EArchivePackError {
 public:
  explicit EPackRefused(std::vector<PackRefusal> refusals);
  const std::vector<PackRefusal>& Refusals() const noexcept { return refusals_; }

 private:
  std::vector<PackRefusal> refusals_;
};

// The tree as read, checked and sorted: what WritePack writes.
struct PackPlan {
  struct Folder {
    std::string name;
    std::vector<std::string> files;
    std::vector<Folder> folders;
  };
  Folder top;
  std::vector<PackRefusal> refusals;
};

struct PackSummary {
  int files = 0;
  int folders = 0;
  std::int64_t bytes = 0;  // uncompressed
  std::int64_t progressTotal = 0;
};

// Reads the tree below `root` (a folder path with backslashes) and collects every
// refusal: a name that is not a safe single name or that the code page cannot
// hold, two names of one folder that Windows takes for one (WindowsNameKey),
// anything that is neither a plain file nor a folder, a folder that cannot be
// listed, a tree with nothing in it. Refused names are not entered.
PackPlan PlanPack(PackSource& source, const std::string& root, const CodePage& codePage);

// Writes a plan without refusals. Raises EPackRefused for a file that cannot be
// read; EStreamWriteError when the output takes less than it is given.
PackSummary WritePack(PackSource& source, const PackPlan& plan, const std::string& root, Stream& out,
                      const CodePage& codePage, const CompressionSettings& settings);

// Both: raises EPackRefused before writing anything when the plan has refusals.
PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                     const CompressionSettings& settings);
inline PackSummary PackTree(PackSource& source, const std::string& root, Stream& out, const CodePage& codePage,
                            int level) {
  return PackTree(source, root, out, codePage, CompressionSettings{.level = level});
}

}  // namespace tolvar
