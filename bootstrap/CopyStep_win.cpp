#include "bootstrap/CopyStep_win.h"

#include "archive/MessWait_win.h"
#include "bootstrap/DefinitionValues.h"
#include "bootstrap/FileCopy_win.h"
#include "bootstrap/ProfileFile_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/FileSystem.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr std::int32_t kGaugeStepsPerFile = 20;
constexpr std::uint8_t kCopyPercentStep = 5;
constexpr std::uint16_t kWaitPumpInterval = 5;

// Asks for the disk until the source is there; false when the user declines.
bool WaitForSource(const PathString& source, std::int32_t disk) {
  while (!SourcePresent(source)) {
    const std::uint16_t answer =
        ShowMessageBox(FormatDiskPrompt(LoadText(TextId::InsertDisk), disk), mbtConfirmation,
                       MsgBoxButtonBit(mbbOK) | MsgBoxButtonBit(mbbCancel), 0, -1, mbbOK);
    if (answer != mrOk) return false;  // "Zpět" and the close box
  }
  return true;
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
  // Every key the list needs is read before the first disk prompt: the disk
  // that holds the definition file may leave the drive at that prompt.
  const Definition definition = ReadDefinition(ProfileFile(definitionPath), sourceFolder);
  CopyList list;
  for (const DefinitionEntry& entry : definition.entries) {
    if (entry.Skipped()) continue;
    if (!WaitForSource(entry.source, definition.disk)) return std::nullopt;
    // The target always lies directly in the setup folder; a name that is not one
    // plain name is refused when the copy makes it (CopyFileWithProgress).
    list.sources.push_back(entry.source);
    list.targets.push_back(PathString(setupFolder.str() + entry.TargetName()));
  }
  return list;
}

bool CopyDefinitionFiles(const std::string& sourceFolder, const PathString& setupFolder) {
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

void CopyStepProgress(const PathString&, const PathString&, std::uint8_t) { StepWait(WaitForm); }

}  // namespace tolvar
