#include "archive/ArchiveCheck.h"

#include <array>
#include <cstring>
#include <optional>

#include "archive/ArchiveFormat.h"
#include "archive/EntryName.h"
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
    problem = std::string("damaged data (") + error.what() + ")";
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

void Inspect(Stream& archive, const CodePage& codePage, ArchiveInspection& result) {
  std::array<std::uint8_t, kArchiveHeaderSize> header{};
  if (!ReadExactly(archive, header.data(), header.size()) ||
      std::memcmp(header.data(), kArchiveSignature.data(), kArchiveSignature.size()) != 0) {
    return;
  }
  result.isArchive = true;
  result.progressTotal = ReadInt32Le(header.data() + kProgressTotalOffset);

  int depth = 0;
  const auto fault = [&](const std::string& where, const std::string& what) {
    result.faults.push_back("entry " + std::to_string(result.entries.size()) + " " + where + ": " + what);
  };
  while (MoreEntries(archive, result)) {
    ArchiveListEntry entry;
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
      result.faults.push_back("entry " + std::to_string(result.entries.size() + 1) + ": the archive ends inside it");
      break;
    }
    entry.kind = record[0];
    entry.recordSize = ReadInt64Le(record.data() + kEntrySizeOffset);
    const std::optional<std::string> name = codePage.ToUtf8(raw);
    entry.name = name ? PrintableName(*name, true) : PrintableName(raw);
    const bool leavesTheTop = entry.kind == kEntryLeaveFolder && depth == 0;
    if (entry.kind == kEntryLeaveFolder && depth > 0) --depth;
    entry.depth = depth;
    result.entries.push_back(entry);
    ArchiveListEntry& added = result.entries.back();
    const std::string where = "\"" + added.name + "\"";
    if (leavesTheTop) fault(where, "leaves a folder above the top (the extractor stays at the top)");

    if (entry.kind == kEntryFile || entry.kind == kEntryEnterFolder) {
      if (!name) fault(where, "the name is not text in code page " + std::to_string(codePage.Number()));
      else if (!IsSafeEntryName(*name)) fault(where, "the name is not a safe file or folder name");
    }
    if (entry.kind == kEntryFile) {
      std::string problem;
      if (!MeasureMember(archive, added, problem)) {
        result.damaged = true;
        fault(where, problem);
        break;
      }
      result.expectedProgressTotal += ChunkCount(added.inflatedSize);
    } else if (entry.kind == kEntryEnterFolder) {
      ++depth;
    } else if (entry.kind != kEntryLeaveFolder) {
      result.notes.push_back("entry " + std::to_string(result.entries.size()) + " " + where + ": kind " +
                             std::to_string(entry.kind) + " is ignored by the extractor");
    }
  }
  if (result.damaged) return;

  if (depth > 0) result.faults.push_back(std::to_string(depth) + " folder(s) entered and not left");
  if (result.entries.empty()) result.faults.push_back("no entry after the header");
  if (result.progressTotal != result.expectedProgressTotal) {
    result.faults.push_back("the header's progress total is " + std::to_string(result.progressTotal) +
                            ", the files need " + std::to_string(result.expectedProgressTotal) + " chunks");
  }
  // More chunks announced than the files hold: the archive was cut between two
  // entries, and the extractor calls it damaged. Fewer is only a wrong count.
  if (result.progressTotal > result.expectedProgressTotal) result.damaged = true;
}

}  // namespace

ArchiveInspection InspectArchive(Stream& archive, const CodePage& codePage) {
  ArchiveInspection result;
  try {
    Inspect(archive, codePage, result);
  } catch (const EStreamReadFailure&) {
    // What was read before stays listed; a read the device fails is damage.
    result.damaged = true;
    result.faults.push_back("the archive cannot be read");
  }
  return result;
}

}  // namespace tolvar
