// zl32 list and zl32 test: both read the whole archive as the extractor does.
#include <algorithm>
#include <cinttypes>
#include <optional>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveFileSystem.h"
#include "archive/ArchiveFormat.h"
#include "platform/FileSystem.h"
#include "tools/zl32/ExtractFileSystem.h"
#include "tools/zl32/ListJson.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/ProgressStream.h"
#include "tools/zl32/TerminalBar.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

// "3 files, 1 folder, 70003 bytes"
std::string Totals(const ArchiveInspection& inspection) {
  std::int64_t files = 0;
  std::int64_t folders = 0;
  std::int64_t bytes = 0;
  for (const auto& entry : inspection.entries) {
    if (entry.kind == kEntryFile) {
      ++files;
      bytes += entry.inflatedSize;
    }
    if (entry.kind == kEntryEnterFolder) ++folders;
  }
  return Counted(files, "file", "files") + ", " + Counted(folders, "folder", "folders") + ", " +
         Counted(bytes, "byte", "bytes");
}

}  // namespace

InspectOptions ShownPaths() {
  InspectOptions options;
  options.separator = ShownSeparator();
  return options;
}

std::optional<ArchiveInspection> InspectArchiveFile(const std::string& path, const CodePage& codePage,
                                                    const InspectOptions& inspectOptions, const Output& output,
                                                    int& code, bool progress) {
  const auto archive = OpenArchive(path, output, code);
  if (!archive) return std::nullopt;
  TerminalBar bar(progress ? output : Output{.quiet = true});
  bar.Start(archive->Size());
  ProgressStream reading(*archive, [&](std::int64_t position) { bar.Show(position); });
  ArchiveInspection inspection = InspectArchive(reading, codePage, inspectOptions);
  if (inspection.Sound()) bar.Finish();
  bar.Abandon();
  if (!inspection.isArchive) {
    Error(output, Shown(path) + ": not a ZLib32 archive (it does not begin with a whole 38-byte header that holds "
                                "the signature ZLib32_DMR)");
    code = kExitBadFormat;
    return std::nullopt;
  }
  return inspection;
}

std::string MissingArchiveText(const std::string& path) {
  return Shown(path) + ": " + (DirectoryExists(path) ? "a folder, not an archive file" : "no such archive file");
}

std::unique_ptr<Stream> OpenArchive(const std::string& path, const Output& output, int& code) {
  ExtractFileSystem files(DiskFileSystem(), false);
  if (!files.FileExists(path)) {
    Error(output, MissingArchiveText(path));
    code = kExitNotFound;
    return nullptr;
  }
  auto archive = files.OpenForReading(path);
  if (!archive) {
    Error(output, files.LastFailure());
    code = kExitOpenError;
  }
  return archive;
}

int List(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& path = options.operands[0];
  int code = kExitOk;
  const auto inspected = InspectArchiveFile(path, codePage, ShownPaths(), output, code, false);
  if (!inspected) return code;
  const ArchiveInspection& inspection = *inspected;

  if (output.quiet) {
    // Nothing to show; the faults still are.
  } else if (options.json) {
    std::string given = path;
    std::replace(given.begin(), given.end(), '\\', ShownSeparator());
    std::fputs(ListAsJson(inspection, given, codePage).c_str(), output.out);
  } else {
    std::fprintf(output.out, "%s: progress total %" PRId32 "\n", Shown(path).c_str(), inspection.progressTotal);
    std::fprintf(output.out, "%12s %12s  %s\n", "Size", "Packed", "Name");
    for (const auto& entry : inspection.entries) {
      const std::string indent(static_cast<std::size_t>(entry.depth) * 2, ' ');
      if (entry.kind == kEntryFile) {
        std::fprintf(output.out, "%12lld %12lld  %s%s\n", static_cast<long long>(entry.recordSize),
                     static_cast<long long>(entry.packedSize), indent.c_str(), entry.name.c_str());
      } else if (entry.kind == kEntryEnterFolder) {
        std::fprintf(output.out, "%12s %12s  %s%s%c\n", "", "", indent.c_str(), entry.name.c_str(), ShownSeparator());
      } else if (entry.kind != kEntryLeaveFolder) {
        std::fprintf(output.out, "%12s %12s  %s(kind %d) %s\n", "", "", indent.c_str(), entry.kind,
                     entry.name.c_str());
      }
    }
    std::fprintf(output.out, "%s\n", Totals(inspection).c_str());
  }
  for (const auto& fault : inspection.faults) Error(output, Shown(path) + ": " + fault);
  return inspection.damaged ? kExitDamaged : kExitOk;
}

int Test(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& path = options.operands[0];
  int code = kExitOk;
  InspectOptions inspectOptions = ShownPaths();
  inspectOptions.windowsTarget = LongestWindowsSetupFolder();
  const auto inspected = InspectArchiveFile(path, codePage, inspectOptions, output, code, true);
  if (!inspected) return code;
  const ArchiveInspection& inspection = *inspected;
  for (const auto& note : inspection.notes) Note(output, Shown(path) + ": " + note);
  for (const auto& warning : inspection.warnings) Warning(output, Shown(path) + ": " + warning);
  for (const auto& fault : inspection.faults) Error(output, Shown(path) + ": " + fault);
  if (!inspection.Sound()) return kExitDamaged;
  Report(output, Shown(path) + ": OK, " + Totals(inspection));
  return kExitOk;
}

}  // namespace tolvar::zl32
