// zl32 list and zl32 test: both read the whole archive as the extractor does.
#include <cinttypes>
#include <optional>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveFormat.h"
#include "archive/ArchiveFileSystem.h"
#include "archive/ZLibCtrl.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

// Opens the archive as the extractor would; on failure says why and gives the
// exit code through `code`.
std::unique_ptr<Stream> OpenArchive(const std::string& path, const Output& output, int& code) {
  ArchiveFileSystem& disk = DiskFileSystem();
  if (!disk.FileExists(path)) {
    Error(output, Shown(path) + ": no such archive file");
    code = kExitNotFound;
    return nullptr;
  }
  auto archive = disk.OpenForReading(path);
  if (!archive) {
    Error(output, Shown(path) + ": cannot be opened");
    code = kExitOpenError;
  }
  return archive;
}

// Opens and reads the whole archive; nothing (with the exit code in `code`) when
// it cannot be opened or is not an archive.
std::optional<ArchiveInspection> Inspect(const std::string& path, const CodePage& codePage, const Output& output,
                                         int& code) {
  const auto archive = OpenArchive(path, output, code);
  if (!archive) return std::nullopt;
  ArchiveInspection inspection = InspectArchive(*archive, codePage);
  if (!inspection.isArchive) {
    Error(output, Shown(path) + ": not a ZLib32 archive");
    code = kExitBadFormat;
    return std::nullopt;
  }
  return inspection;
}

struct Totals {
  int files = 0;
  int folders = 0;
  std::int64_t bytes = 0;
};

Totals Count(const ArchiveInspection& inspection) {
  Totals totals;
  for (const auto& entry : inspection.entries) {
    if (entry.kind == kEntryFile) {
      ++totals.files;
      totals.bytes += entry.inflatedSize;
    }
    if (entry.kind == kEntryEnterFolder) ++totals.folders;
  }
  return totals;
}

}  // namespace

int List(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& path = options.operands[0];
  int code = kExitOk;
  const auto inspected = Inspect(path, codePage, output, code);
  if (!inspected) return code;
  const ArchiveInspection& inspection = *inspected;

  std::fprintf(output.out, "%s: progress total %" PRId32 "\n", Shown(path).c_str(), inspection.progressTotal);
  std::fprintf(output.out, "%12s %12s  %s\n", "Size", "Packed", "Name");
  for (const auto& entry : inspection.entries) {
    const std::string indent(static_cast<std::size_t>(entry.depth) * 2, ' ');
    if (entry.kind == kEntryFile) {
      std::fprintf(output.out, "%12lld %12lld  %s%s\n", static_cast<long long>(entry.recordSize),
                   static_cast<long long>(entry.packedSize), indent.c_str(), entry.name.c_str());
    } else if (entry.kind == kEntryEnterFolder) {
      std::fprintf(output.out, "%12s %12s  %s%s\\\n", "", "", indent.c_str(), entry.name.c_str());
    } else if (entry.kind != kEntryLeaveFolder) {
      std::fprintf(output.out, "%12s %12s  %s(kind %d) %s\n", "", "", indent.c_str(), entry.kind, entry.name.c_str());
    }
  }
  const Totals totals = Count(inspection);
  std::fprintf(output.out, "%d files, %d folders, %lld bytes\n", totals.files, totals.folders,
               static_cast<long long>(totals.bytes));
  for (const auto& fault : inspection.faults) Error(output, Shown(path) + ": " + fault);
  return inspection.damaged ? kExitDamaged : kExitOk;
}

int Test(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& path = options.operands[0];
  int code = kExitOk;
  const auto inspected = Inspect(path, codePage, output, code);
  if (!inspected) return code;
  const ArchiveInspection& inspection = *inspected;
  for (const auto& note : inspection.notes) std::fprintf(output.err, "zl32: note: %s\n", note.c_str());
  for (const auto& fault : inspection.faults) Error(output, Shown(path) + ": " + fault);
  if (!inspection.Sound()) return kExitDamaged;
  const Totals totals = Count(inspection);
  std::fprintf(output.out, "%s: OK, %d files, %d folders, %lld bytes\n", Shown(path).c_str(), totals.files,
               totals.folders, static_cast<long long>(totals.bytes));
  return kExitOk;
}

}  // namespace tolvar::zl32
