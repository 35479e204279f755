// zl32 check-medium FOLDER [--disk N=FOLDER]...: every finding on a line of
// its own, naming its file; exit code 0 when Tolvar.exe would get through the
// medium, kExitMediumFindings when it would not or when a part could not be
// checked.
#include "platform/FileSystem.h"
#include "tools/zl32/DiskTree.h"
#include "tools/zl32/MediumCheck.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {

void MediumReport::Finding(const std::string& path, const std::string& text) {
  Error(output_, Shown(path) + ": " + text);
  ++findings_;
}

void MediumReport::Warn(const std::string& path, const std::string& text) { Warning(output_, Shown(path) + ": " + text); }

void MediumReport::Fine(const std::string& path, const std::string& text) { Report(output_, Shown(path) + ": " + text); }

int CheckMedium(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& medium = options.operands[0];
  MediumReport report(output);
  const auto isFolder = [&](const std::string& folder, const std::string& what) {
    if (DirectoryExists(folder)) return true;
    report.Finding(folder, (NameTaken(folder) ? "not a folder" : "no such folder") + what);
    return false;
  };
  std::map<std::int32_t, std::string> disks;
  for (const auto& [number, folder] : options.disks) {
    if (isFolder(folder, " (disk " + std::to_string(number) + ")")) disks.emplace(number, folder);
  }
  if (isFolder(medium, "")) {
    const std::optional<FileSignature> bootstrapper = CheckBootstrapper(medium, report);
    const ArchiveTop top = CheckArchive(medium, codePage, bootstrapper, report);
    CheckDefinition(medium, disks, top, codePage, report);
  }
  if (report.Findings() > 0) {
    Error(output, Shown(medium) + ": " + Counted(report.Findings(), "finding", "findings") +
                      ": Tolvar would not get through this medium, or a part of it could not be checked");
    return kExitMediumFindings;
  }
  Report(output, Shown(medium) + ": OK: Tolvar gets through this medium");
  return kExitOk;
}

}  // namespace tolvar::zl32
