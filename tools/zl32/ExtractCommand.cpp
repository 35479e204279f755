// zl32 extract ARCHIVE FOLDER: the bootstrapper's own extractor, with a progress
// bar on a terminal, keeping what FOLDER holds unless told otherwise.
#include <algorithm>
#include <set>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveFileSystem.h"
#include "archive/ArchiveFormat.h"
#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/ExtractFileSystem.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/TerminalBar.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

// True for "/", "C:\" and "\\server\share": folders that hold a whole system.
bool IsRootFolder(const std::string& absolute) {
  const std::string folder = ExcludeTrailingBackslash(absolute);
  if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) return true;
  if (!folder.starts_with("\\\\")) return false;
  const std::size_t share = folder.find('\\', 2);
  return share != std::string::npos && folder.find('\\', share + 1) == std::string::npos;
}

// Reads the archive again, for what the extractor does not say: which entries
// it holds, where it is damaged. Nothing when it cannot be read as an archive.
std::optional<ArchiveInspection> Reinspect(const std::string& archivePath, const CodePage& codePage) {
  auto archive = DiskFileSystem().OpenForReading(archivePath);
  if (!archive) return std::nullopt;
  InspectOptions options;
  options.separator = ShownSeparator();
  ArchiveInspection inspection = InspectArchive(*archive, codePage, options);
  if (!inspection.isArchive) return std::nullopt;
  return inspection;
}

// The files of the archive that exist in `target` already, in the archive's order.
std::vector<std::string> ExistingFiles(const std::string& archivePath, const std::string& target,
                                       const CodePage& codePage) {
  std::vector<std::string> existing;
  const auto inspection = Reinspect(archivePath, codePage);
  if (!inspection) return existing;
  const std::string folder = IncludeTrailingBackslash(target);
  std::set<std::u16string> seen;
  for (const ArchiveListEntry& entry : inspection->entries) {
    const std::string path = folder + entry.path;
    if (entry.kind == kEntryFile && !entry.path.empty() && seen.insert(PathKey(path)).second && NameTaken(path)) {
      existing.push_back(path);
    }
  }
  return existing;
}

// Why the extraction stopped with 4: the disk's last failure, else the entry the
// extractor refused, else what it said itself.
std::string StopReason(const ExtractFileSystem& files, const std::string& archivePath, const CodePage& codePage,
                       const std::string& extractorSaid) {
  if (!files.LastFailure().empty()) return files.LastFailure();
  const auto inspection = Reinspect(archivePath, codePage);
  if (inspection && !inspection->refusedName.empty()) return inspection->refusedName + "; nothing is made of it";
  return extractorSaid;
}

}  // namespace

int Extract(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& archivePath = options.operands[0];
  const std::string& target = options.operands[1];
  const std::string fullTarget = AbsolutePath(target);
  if (!fullTarget.empty() && IsRootFolder(fullTarget)) {
    Error(output, Shown(target) + ": the root folder " + Shown(fullTarget) +
                      " is refused as the target: name a folder below it (see zl32 extract --help)");
    return kExitUsage;
  }
  if (!options.overwrite && !FolderEmptyOrMissing(target)) {
    const std::vector<std::string> existing = ExistingFiles(archivePath, target, codePage);
    for (const std::string& path : existing) Error(output, Shown(path) + ": exists already and is kept");
    if (!existing.empty()) {
      Error(output, Shown(archivePath) + ": nothing was extracted: " +
                        Counted(static_cast<std::int64_t>(existing.size()), "file", "files") + " of the archive " +
                        (existing.size() == 1 ? "exists" : "exist") + " in " + Shown(target) +
                        " (--overwrite replaces them)");
      return kExitWriteError;
    }
  }

  ExtractFileSystem files(DiskFileSystem(), options.overwrite);
  TerminalBar bar(output);
  std::int64_t extracted = 0;
  ExtractCallbacks callbacks;
  callbacks.OnExtractFile = [&](Stream&, std::int32_t, const std::string&, const std::string&) { ++extracted; };
  if (output.ShowsProgress()) {
    callbacks.OnExtractStart = [&](Stream&, std::int32_t total) { bar.Start(total); };
    callbacks.OnExtractChunk = [&](Stream&, bool&) { bar.Step(); };
    callbacks.OnExtractFinish = [&](Stream&) { bar.Finish(); };
  }

  ExtractFailure failure;
  std::uint8_t result = ArchiveOk;
  try {
    result = ExtractArchive({files, codePage, &failure}, archivePath, target, callbacks);
  } catch (const EZLibError& error) {
    bar.Abandon();
    const auto inspection = Reinspect(archivePath, codePage);
    const bool located = inspection && inspection->damaged && !inspection->faults.empty();
    Error(output, Shown(archivePath) + ": the archive is damaged: " +
                      (located ? inspection->faults.back() : std::string(error.what())));
    return kExitDamaged;
  }
  switch (result) {
    case ArchiveOk:
      Report(output, Shown(archivePath) + ": " + Counted(extracted, "file", "files") + " extracted into " +
                         Shown(target));
      return kExitOk;
    case ArchiveNotFound: Error(output, MissingArchiveText(archivePath)); break;
    case ArchiveOpenError: Error(output, files.LastFailure()); break;
    case ArchiveBadFormat:
      Error(output, Shown(archivePath) + ": not a ZLib32 archive (it does not begin with a whole 38-byte header that "
                                         "holds the signature ZLib32_DMR)");
      break;
    default:
      bar.Abandon();
      Error(output, Shown(archivePath) + ": extraction stopped: " +
                        StopReason(files, archivePath, codePage, ExtractFailureText(failure)));
      break;
  }
  return result;
}

}  // namespace tolvar::zl32
