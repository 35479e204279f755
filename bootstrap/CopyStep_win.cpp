#include "bootstrap/CopyStep_win.h"

#include <algorithm>

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

// The marker of an entry to skip, and of a target named like its source. Exact
// and case-sensitive: "none" is a path.
constexpr char kNone[] = "NONE";

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

// The numbers n (1..Count, ascending) of the section's "From<n>" keys. An entry
// without its From key reads as "NONE" and is skipped anyway, so only these are
// read: a huge Count or key number costs neither time nor memory.
std::vector<std::int32_t> ListedEntryNumbers(const ProfileFile& file, std::int32_t count) {
  std::vector<std::int32_t> numbers;
  for (const std::string& key : file.ReadKeys(kCopySection)) {
    const std::int32_t n = FromKeyIndex(key);
    if (n >= 1 && n <= count) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

// One entry of the definition file: its source path (the "From" pattern
// applied; "NONE" skips it) and its "To" value.
struct DefinitionEntry {
  PathString source;
  std::string to;
};

// What the list needs of the definition file, read whole before any disk is
// asked for: the disk that holds the definition file may leave the drive at the
// first prompt, and its keys with it.
struct Definition {
  std::vector<DefinitionEntry> entries;
  std::int32_t disk = 1;
};

Definition ReadDefinition(const std::string& definitionPath, const std::string& sourceFolder) {
  const ProfileFile file(definitionPath);
  const std::string sourceArgument = ExcludeTrailingBackslash(sourceFolder);
  Definition definition;
  definition.disk = file.ReadInteger(kCopySection, "SrcDisk", 1);
  const std::int32_t count = file.ReadInteger(kCopySection, "Count", 0);
  for (const std::int32_t n : ListedEntryNumbers(file, count)) {
    const std::string number = IntToStr(n);
    definition.entries.push_back(
        {PathString(ExpandSourcePattern(file.ReadString(kCopySection, "From" + number, kNone), sourceArgument)),
         file.ReadString(kCopySection, "To" + number, kNone)});
  }
  return definition;
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
  const Definition definition = ReadDefinition(definitionPath, sourceFolder);
  CopyList list;
  for (const DefinitionEntry& entry : definition.entries) {
    if (entry.source.str() == kNone) continue;
    if (!WaitForSource(entry.source, definition.disk)) return std::nullopt;
    const std::string& to = entry.to == kNone ? entry.source.str() : entry.to;
    // The target always lies directly in the setup folder; a name that is not one
    // plain name is refused when the copy makes it (CopyFileWithProgress).
    list.sources.push_back(entry.source);
    list.targets.push_back(PathString(setupFolder.str() + DefinitionFileName(to)));
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
