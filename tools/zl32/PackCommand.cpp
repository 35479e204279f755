// zl32 pack FOLDER -o ARCHIVE: the tree is checked whole before anything is
// written; the archive is written beside its place and replaces what bears its
// name only when it is complete (FileReplacement).
#include "archive/ArchivePacker.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/FileReplacement.h"
#include "tools/zl32/Messages.h"
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

// A path below the packed folder as the user sees it.
std::string ShownBelow(const std::string& folder, const std::string& relative) {
  return relative.empty() ? Shown(folder) : Shown(IncludeTrailingBackslash(folder) + relative);
}

// Says every refusal, then that nothing was written.
int Refused(const std::string& folder, const std::string& archivePath, const std::vector<PackRefusal>& refusals,
            const Output& output) {
  for (const PackRefusal& refusal : refusals) Error(output, ShownBelow(folder, refusal.path) + ": " + refusal.reason);
  Error(output, Shown(folder) + ": cannot be packed (" +
                    Counted(static_cast<std::int64_t>(refusals.size()), "refusal", "refusals") + "); " +
                    Shown(archivePath) + " is left as it was");
  return kExitPackRefused;
}

}  // namespace

int Pack(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& folder = options.operands[0];
  const std::string& archivePath = options.output;
  if (!DirectoryExists(folder)) {
    Error(output, Shown(folder) + ": " + (NameTaken(folder) ? "not a folder" : "no such folder"));
    return kExitPackRefused;
  }
  // The archive would otherwise be packed into itself while it grows.
  const std::string fullFolder = AbsolutePath(folder);
  const std::string fullArchive = AbsolutePath(archivePath);
  if (!fullArchive.empty() && Inside(fullArchive, fullFolder)) {
    Error(output, Shown(archivePath) + ": the archive must not lie inside the folder being packed");
    return kExitPackRefused;
  }

  DiskPackSource source;
  const PackPlan plan = PlanPack(source, folder, codePage);
  if (!plan.refusals.empty()) return Refused(folder, archivePath, plan.refusals, output);

  std::string problem;
  const auto replacement = FileReplacement::Begin(archivePath, problem);
  if (!replacement) {
    Error(output, Shown(archivePath) + ": " + problem);
    return kExitWriteError;
  }
  PackSummary summary;
  try {
    summary = WritePack(source, plan, folder, replacement->Contents(), codePage,
                        {.level = options.level, .threads = options.threads});
  } catch (const EStreamWriteError&) {
    Error(output,
          Shown(archivePath) + ": cannot be written: " + replacement->WriteProblem() + "; it is left as it was");
    return kExitWriteError;
  } catch (const EPackRefused& refused) {
    return Refused(folder, archivePath, refused.Refusals(), output);
  } catch (const EArchivePackError& error) {
    Error(output, Shown(folder) + ": " + error.what() + "; " + Shown(archivePath) + " is left as it was");
    return kExitPackRefused;
  } catch (const EStreamReadFailure&) {
    // A file that fails to read would otherwise be packed cut short.
    Error(output, Shown(folder) + ": a file cannot be read; " + Shown(archivePath) + " is left as it was");
    return kExitPackRefused;
  }
  if (!replacement->Commit(problem)) {
    Error(output, Shown(archivePath) + ": " + problem);
    return kExitWriteError;
  }
  std::fprintf(output.out, "%s: %s, %s, %s, progress total %lld\n", Shown(archivePath).c_str(),
               Counted(summary.files, "file", "files").c_str(), Counted(summary.folders, "folder", "folders").c_str(),
               Counted(summary.bytes, "byte", "bytes").c_str(), static_cast<long long>(summary.progressTotal));
  return kExitOk;
}

}  // namespace tolvar::zl32
