// zl32 pack FOLDER -o ARCHIVE: the archive is written in place and removed again
// when packing fails, so a failed run never leaves a half-made archive.
#include "archive/ArchivePacker.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

// True when `path` lies inside `folder` (both absolute).
bool Inside(const std::string& path, const std::string& folder) {
  for (std::string at = ExcludeTrailingBackslash(ExtractFilePath(path)); !at.empty();) {
    if (SamePath(at, folder)) return true;
    const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(at));
    if (parent == at) break;
    at = parent;
  }
  return false;
}

}  // namespace

int Pack(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& folder = options.operands[0];
  const std::string& archivePath = options.output;
  if (!DirectoryExists(folder)) {
    Error(output, Shown(folder) + ": no such folder");
    return kExitPackRefused;
  }
  // The archive would otherwise be packed into itself while it grows.
  const std::string fullFolder = AbsolutePath(folder);
  const std::string fullArchive = AbsolutePath(archivePath);
  if (!fullArchive.empty() && Inside(fullArchive, fullFolder)) {
    Error(output, Shown(archivePath) + ": the archive must not lie inside the folder being packed");
    return kExitPackRefused;
  }

  auto archive = FileStream::Create(archivePath);
  if (!archive) {
    Error(output, Shown(archivePath) + ": cannot be created");
    return kExitWriteError;
  }
  DiskPackSource source;
  int code = kExitOk;
  PackSummary summary;
  try {
    summary = PackTree(source, folder, *archive, codePage, options.level);
  } catch (const EArchivePackError& error) {
    Error(output, Shown(folder) + ": " + error.what());
    code = kExitPackRefused;
  } catch (const EStreamWriteError&) {
    Error(output, Shown(archivePath) + ": cannot be written (disk full?)");
    code = kExitWriteError;
  } catch (const EStreamReadFailure&) {
    // A file that fails to read would otherwise be packed cut short.
    Error(output, Shown(folder) + ": a file cannot be read");
    code = kExitPackRefused;
  }
  archive.reset();
  if (code != kExitOk) {
    RemoveFile(archivePath);
    return code;
  }
  std::fprintf(output.out, "%s: %d files, %d folders, %lld bytes, progress total %lld\n", Shown(archivePath).c_str(),
               summary.files, summary.folders, static_cast<long long>(summary.bytes),
               static_cast<long long>(summary.progressTotal));
  return kExitOk;
}

}  // namespace tolvar::zl32
