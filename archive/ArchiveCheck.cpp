#include "archive/ArchiveCheck.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>

#include "archive/ArchiveFormat.h"
#include "archive/EntryName.h"
#include "archive/WindowsNames.h"
#include "archive/ZStream.h"

namespace tolvar {
namespace {

bool ReadExactly(Stream& archive, void* buffer, std::size_t count) { return archive.Read(buffer, count) == count; }

// Inflates one member to its end without keeping it, as the extractor does:
// false when it is damaged, and when it inflates to more or less than its
// record's size (inflating stops as soon as the record is exceeded, as the
// extractor's does).
bool MeasureMember(Stream& archive, ArchiveListEntry& entry, std::string& problem) {
  const std::int64_t start = archive.Position();
  try {
    TZDecompressionStream member(archive);
    std::array<unsigned char, 32768> sink{};
    for (std::size_t n; (n = member.Read(sink.data(), sink.size())) > 0;) {
      entry.inflatedSize += static_cast<std::int64_t>(n);
      if (entry.inflatedSize > entry.recordSize) {
        problem = "the record gives " + std::to_string(entry.recordSize) + " bytes, the data holds more";
        return false;
      }
    }
    if (!member.StreamEnded()) {
      problem = "the archive ends inside its data";
      return false;
    }
  } catch (const EZLibError& error) {
    problem = std::string("damaged data: ") + error.what();
    return false;
  }
  entry.packedSize = archive.Position() - start;
  if (entry.inflatedSize != entry.recordSize) {
    problem = "the record gives " + std::to_string(entry.recordSize) + " bytes, the data holds " +
              std::to_string(entry.inflatedSize);
    return false;
  }
  return true;
}

// A folder the reading is in: its path as the extractor builds it, as shown,
// and whether Windows could still name it below the setup folder.
struct Level {
  std::string path;   // UTF-8 with '\' and a trailing one; empty at the top
  bool usable = true;  // every name on the way decodable and safe
  std::string shown;  // escaped names, each followed by the separator
  bool fits = true;
};

// What each folder holds as Windows sees it: names by their case-blind key.
class FolderContents {
 public:
  struct Holder {
    std::string name;  // UTF-8, as written
    std::size_t entry = 0;
    bool folder = false;
  };

  // Records `name` in the folder at `path`; the holder that already bears a
  // name Windows takes for it, unless both are the very same folder.
  std::optional<Holder> Add(const std::string& path, const std::string& name, std::size_t entry, bool folder) {
    auto& names = folders_[WindowsNameKey(path)];
    const auto [at, added] = names.try_emplace(WindowsNameKey(name), Holder{name, entry, folder});
    if (added || (folder && at->second.folder && at->second.name == name)) return std::nullopt;
    return at->second;
  }

 private:
  std::map<std::u16string, std::map<std::u16string, Holder>> folders_;
};

std::string Clash(const FolderContents::Holder& holder, const std::string& name) {
  const std::string other = "entry " + std::to_string(holder.entry) + " \"" + PrintableName(holder.name, true) + "\"";
  if (holder.name == name) return "the folder holds " + other + " of this name already: one would replace the other";
  return "Windows takes it for " + other + " of the same folder: one would replace the other there";
}

// Another entry follows while the position is below the size; a position or
// size that cannot be told is damage, never the end.
bool MoreEntries(Stream& archive, ArchiveInspection& result) {
  const std::int64_t position = archive.Position();
  const std::int64_t size = archive.Size();
  if (position >= 0 && size >= 0) return position < size;
  result.damaged = true;
  result.faults.push_back("the archive's size cannot be read");
  return false;
}

void Inspect(Stream& archive, const CodePage& codePage, const InspectOptions& options, ArchiveInspection& result) {
  std::array<std::uint8_t, kArchiveHeaderSize> header{};
  if (!ReadExactly(archive, header.data(), header.size()) ||
      std::memcmp(header.data(), kArchiveSignature.data(), kArchiveSignature.size()) != 0) {
    return;
  }
  result.isArchive = true;
  result.progressTotal = ReadInt32Le(header.data() + kProgressTotalOffset);

  const std::size_t targetLength = WindowsPathLength(options.windowsTarget);
  std::vector<Level> levels(1);
  FolderContents contents;
  while (MoreEntries(archive, result)) {
    ArchiveListEntry entry;
    entry.offset = archive.Position();
    const std::string number = "entry " + std::to_string(result.entries.size() + 1);
    std::array<std::uint8_t, 2> length{};
    std::array<std::uint8_t, kEntryRecordSize> record{};
    std::string raw;
    bool whole = ReadExactly(archive, length.data(), length.size());
    if (whole) {
      raw.resize(static_cast<std::size_t>(length[0] | length[1] << 8));
      whole = ReadExactly(archive, raw.data(), raw.size()) && ReadExactly(archive, record.data(), record.size());
    }
    if (!whole) {
      result.damaged = true;
      result.faults.push_back(number + " (at offset " + std::to_string(entry.offset) + "): the archive ends inside it");
      break;
    }
    entry.kind = record[0];
    entry.recordSize = ReadInt64Le(record.data() + kEntrySizeOffset);
    entry.dataOffset = archive.Position();
    const std::optional<std::string> name = codePage.ToUtf8(raw);
    entry.name = name ? PrintableName(*name, true) : PrintableName(raw);
    entry.rawName = raw;
    const bool named = entry.kind == kEntryFile || entry.kind == kEntryEnterFolder;
    const bool leavesTheTop = entry.kind == kEntryLeaveFolder && levels.size() == 1;
    if (entry.kind == kEntryLeaveFolder && !leavesTheTop) levels.pop_back();
    entry.depth = static_cast<int>(levels.size()) - 1;
    const Level& folder = levels.back();
    const bool usable = named && name && IsSafeEntryName(*name);
    if (usable && folder.usable) entry.path = folder.path + *name;
    result.entries.push_back(entry);
    ArchiveListEntry& added = result.entries.back();
    const std::string where = number + " \"" + (named ? folder.shown : "") + added.name + "\" (at offset " +
                              std::to_string(added.offset) + ")";
    const auto fault = [&](const std::string& what) { result.faults.push_back(where + ": " + what); };

    if (leavesTheTop) fault("leaves a folder above the top (the extractor stays at the top)");
    if (named && !usable && folder.usable) {
      fault(name ? "the name is not a safe file or folder name: " + UnsafeNameReason(*name)
                 : "the name is not text in code page " + std::to_string(codePage.Number()));
      if (result.refusedName.empty()) result.refusedName = result.faults.back();
    }
    if (!added.path.empty()) {
      if (const auto holder = contents.Add(folder.path, *name, result.entries.size(), entry.kind != kEntryFile)) {
        fault(Clash(*holder, *name));
      }
    }
    // Windows must be able to name it below the setup folder; a folder's files
    // and subfolders are not counted again when the folder is already too deep.
    bool fits = folder.fits;
    if (!options.windowsTarget.empty() && !added.path.empty() && fits) {
      const std::size_t pathLength = WindowsPathLength(added.path) + (entry.kind == kEntryFile ? 0 : 1);
      fits = targetLength + pathLength < kWindowsPathLimit;
      if (!fits) {
        const std::size_t allowed = kWindowsPathLimit - 1 - std::min(targetLength, kWindowsPathLimit - 1);
        result.warnings.push_back(where + ": the path is " + std::to_string(pathLength) +
                                  " characters long; below " + options.windowsTarget + " Windows allows " +
                                  std::to_string(allowed) + ", so it cannot be unpacked there");
      }
    }

    if (entry.kind == kEntryFile) {
      std::string problem;
      if (!MeasureMember(archive, added, problem)) {
        result.damaged = true;
        fault(problem + " (its data starts at offset " + std::to_string(added.dataOffset) + ")");
        break;
      }
      result.expectedProgressTotal += ChunkCount(added.inflatedSize);
    } else if (entry.kind == kEntryEnterFolder) {
      levels.push_back({folder.path + (name ? *name : "") + "\\", folder.usable && usable,
                        folder.shown + added.name + options.separator, fits});
    } else if (entry.kind != kEntryLeaveFolder) {
      result.notes.push_back(where + ": kind " + std::to_string(entry.kind) + " is ignored by the extractor");
    }
  }
  if (result.damaged) return;

  if (levels.size() > 1) {
    const std::size_t open = levels.size() - 1;
    result.faults.push_back(std::to_string(open) + (open == 1 ? " folder" : " folders") + " entered and not left");
  }
  if (result.entries.empty()) result.faults.push_back("no entry after the header");
  // More chunks announced than the files hold: the archive was cut between two
  // entries, and the extractor calls it damaged. Fewer is only a wrong count.
  if (result.progressTotal > result.expectedProgressTotal) {
    result.damaged = true;
    result.faults.push_back("the archive ends at offset " + std::to_string(archive.Position()) + ", after " +
                            std::to_string(result.entries.size()) + (result.entries.size() == 1 ? " entry" : " entries") +
                            ", but its header counts " + std::to_string(result.progressTotal) +
                            " chunks and the files hold " + std::to_string(result.expectedProgressTotal) +
                            ": it was cut short");
  } else if (result.progressTotal < result.expectedProgressTotal) {
    result.faults.push_back("the header's progress total is " + std::to_string(result.progressTotal) +
                            ", the files need " + std::to_string(result.expectedProgressTotal) + " chunks");
  }
}

}  // namespace

ArchiveInspection InspectArchive(Stream& archive, const CodePage& codePage, const InspectOptions& options) {
  ArchiveInspection result;
  try {
    Inspect(archive, codePage, options, result);
  } catch (const EStreamReadFailure&) {
    // What was read before stays listed; a read the device fails is damage.
    result.damaged = true;
    result.faults.push_back("the archive cannot be read");
  }
  return result;
}

}  // namespace tolvar
