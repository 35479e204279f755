#include "bootstrap/CopyStep_win.h"

#include <algorithm>

#include "archive/MessWait_win.h"
#include "bootstrap/DefinitionValues.h"
#include "bootstrap/FileCopy_win.h"
#include "bootstrap/ProfileFile_win.h"
#include "bootstrap/SetupPaths.h"
#include "bootstrap/StartupSequence_win.h"
#include "bootstrap/SystemInfoCtrl_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/FileSystem.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// The marker of an entry to skip, and of a target named like its source. Exact
// and case-sensitive: "none" is a path.
constexpr char kNone[] = "NONE";

constexpr std::int32_t kGaugeStepsPerFile = 20;
constexpr std::uint8_t kCopyPercentStep = 5;
constexpr std::uint16_t kWaitPumpInterval = 5;

// Asks for the disk until the source is there; false when the user declines.
bool WaitForSource(const PathString& source, std::int32_t disk) {
  while (!FileExists(source)) {
    const std::uint16_t answer =
        ShowMessageBox(FormatDiskPrompt(LoadText(TextId::InsertDisk), disk), mbtConfirmation,
                       MsgBoxButtonBit(mbbOK) | MsgBoxButtonBit(mbbCancel), 0, -1, mbbOK);
    if (answer != mrOk) return false;  // "Zpět" and the close box
  }
  return true;
}

// The highest n of a "From<n>" key in the section. Entries above it read as
// "NONE" and are skipped, so the loop ends there: a huge Count does not spin
// through billions of absent keys.
std::int32_t LastFromIndex(const ProfileFile& file) {
  std::int32_t last = 0;
  for (const std::string& key : file.ReadKeys(kCopySection)) last = std::max(last, FromKeyIndex(key));
  return last;
}

// Closes the wait window on every way out of the copies.
struct WaitWindowScope {
  WaitWindowScope(const std::string& text, std::int32_t maximum) {
    ShowWait(WaitForm, text, maximum, false, kWaitPumpInterval);
  }
  WaitWindowScope(const WaitWindowScope&) = delete;
  WaitWindowScope& operator=(const WaitWindowScope&) = delete;
  ~WaitWindowScope() { CloseWait(WaitForm); }
};

}  // namespace

std::optional<CopyList> ReadCopyList(const std::string& definitionPath, const std::string& sourceFolder,
                                     const PathString& setupFolder) {
  const ProfileFile file(definitionPath);
  const std::string sourceArgument = ExcludeTrailingBackslash(sourceFolder);
  CopyList list;
  const std::int32_t count = file.ReadInteger(kCopySection, "Count", 0);
  const std::int32_t last = count > 0 ? std::min(count, LastFromIndex(file)) : 0;
  for (std::int32_t n = 1; n <= last; ++n) {
    const std::string number = IntToStr(n);
    const PathString source(ExpandSourcePattern(file.ReadString(kCopySection, "From" + number, kNone), sourceArgument));
    std::string to = file.ReadString(kCopySection, "To" + number, kNone);
    const std::int32_t disk = file.ReadInteger(kCopySection, "SrcDisk", 1);
    if (source.str() == kNone) continue;
    if (!WaitForSource(source, disk)) return std::nullopt;
    if (to == kNone) to = source.str();
    // The target always lies directly in the setup folder; a name that is not one
    // plain name is refused when the copy makes it (CopyFileWithProgress).
    list.sources.push_back(source);
    list.targets.push_back(PathString(setupFolder.str() + DefinitionFileName(to)));
  }
  return list;
}

bool CopyDefinitionFilesFrom(const std::string& sourceFolder, const PathString& setupFolder) {
  const PathString definitionPath(sourceFolder + kDefinitionFileName);
  if (!FileExists(definitionPath)) return true;

  const std::optional<CopyList> list = ReadCopyList(definitionPath, sourceFolder, setupFolder);
  if (!list) return false;
  if (list->sources.empty()) return true;

  const WaitWindowScope wait(LoadText(TextId::PreparingWizard),
                             kGaugeStepsPerFile * static_cast<std::int32_t>(list->sources.size()));
  for (std::size_t i = 0; i < list->sources.size(); ++i) {
    // A failed file has been reported; the others are copied all the same.
    CopyFileWithProgress(list->sources[i], list->targets[i], &CopyStepProgress, kCopyPercentStep);
  }
  return true;
}

bool CopyDefinitionFiles() {
  return CopyDefinitionFilesFrom(ProgramSourceFolder(), FormSetupFolder(GetVendorCommonFolder()));
}

void CopyStepProgress(const PathString&, const PathString&, std::uint8_t) { StepWait(WaitForm); }

}  // namespace tolvar
