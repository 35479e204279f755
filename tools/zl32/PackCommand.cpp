// zl32 pack FOLDER -o ARCHIVE: the tree is checked whole before anything is
// written; the archive is written beside its place and replaces what bears its
// name only when it is complete (FileReplacement).
#include <algorithm>

#include "archive/ArchivePacker.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/FileReplacement.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/ProgressStream.h"
#include "tools/zl32/TerminalBar.h"
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

// The disk's files, each read through a stream that moves the bar by the bytes
// read of the whole tree (files are read one after the other, on this thread).
class ProgressPackSource final : public PackSource {
 public:
  ProgressPackSource(PackSource& disk, TerminalBar& bar) : disk_(disk), bar_(bar) {}

  Listing List(const std::string& folder) override { return disk_.List(folder); }
  std::unique_ptr<Stream> OpenFile(const std::string& path) override {
    auto file = disk_.OpenFile(path);
    if (!file) return file;
    finished_ += current_;
    current_ = 0;
    return std::make_unique<ProgressStream>(std::move(file), [this](std::int64_t position) {
      current_ = position;
      bar_.Show(finished_ + current_);
    });
  }

  // The bytes of every file of the plan, as their sizes are now.
  std::int64_t Total(const PackPlan::Folder& folder, const std::string& path) {
    std::int64_t total = 0;
    for (const std::string& name : folder.files) {
      try {
        if (const auto file = disk_.OpenFile(path + name)) total += std::max<std::int64_t>(0, file->Size());
      } catch (const EArchivePackError&) {
        // Reported when the file is packed.
      }
    }
    for (const PackPlan::Folder& sub : folder.folders) total += Total(sub, path + sub.name + "\\");
    return total;
  }

 private:
  PackSource& disk_;
  TerminalBar& bar_;
  std::int64_t finished_ = 0;
  std::int64_t current_ = 0;
};

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

  DiskPackSource disk;
  TerminalBar bar(output);
  ProgressPackSource progress(disk, bar);
  PackSource& source = output.ShowsProgress() ? static_cast<PackSource&>(progress) : disk;
  const PackPlan plan = PlanPack(source, folder, codePage);
  if (!plan.refusals.empty()) return Refused(folder, archivePath, plan.refusals, output);

  std::string problem;
  const auto replacement = FileReplacement::Begin(archivePath, problem);
  if (!replacement) {
    Error(output, Shown(archivePath) + ": " + problem);
    return kExitWriteError;
  }
  if (output.ShowsProgress()) bar.Start(progress.Total(plan.top, IncludeTrailingBackslash(folder)));
  PackSummary summary;
  try {
    summary = WritePack(source, plan, folder, replacement->Contents(), codePage,
                        {.level = options.level, .threads = options.threads});
  } catch (const EStreamWriteError&) {
    bar.Abandon();
    Error(output,
          Shown(archivePath) + ": cannot be written: " + replacement->WriteProblem() + "; it is left as it was");
    return kExitWriteError;
  } catch (const EPackRefused& refused) {
    bar.Abandon();
    return Refused(folder, archivePath, refused.Refusals(), output);
  } catch (const EArchivePackError& error) {
    bar.Abandon();
    Error(output, Shown(folder) + ": " + error.what() + "; " + Shown(archivePath) + " is left as it was");
    return kExitPackRefused;
  } catch (const EStreamReadFailure&) {
    bar.Abandon();
    // A file that fails to read would otherwise be packed cut short.
    Error(output, Shown(folder) + ": a file cannot be read; " + Shown(archivePath) + " is left as it was");
    return kExitPackRefused;
  }
  bar.Finish();
  if (!replacement->Commit(problem)) {
    Error(output, Shown(archivePath) + ": " + problem);
    return kExitWriteError;
  }
  Report(output, Shown(archivePath) + ": " + Counted(summary.files, "file", "files") + ", " +
                     Counted(summary.folders, "folder", "folders") + ", " + Counted(summary.bytes, "byte", "bytes") +
                     ", progress total " + std::to_string(summary.progressTotal));
  return kExitOk;
}

}  // namespace tolvar::zl32
