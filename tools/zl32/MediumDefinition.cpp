// tolvar.def as Tolvar.exe meets it (CopyStep_win.cpp): the list is read
// whole first; while an entry's source is missing Tolvar asks for the one disk
// SrcDisk names, and the user can only insert it or give up; the copies start
// after the last prompt, from whatever disk is in the drive then; each copy
// lies directly in the setup folder, where the archive's files and the wizard
// are held while the files are copied.
#include <algorithm>
#include <optional>
#include <vector>

#include "archive/EntryName.h"
#include "archive/WindowsNames.h"
#include "bootstrap/DefinitionFile.h"
#include "bootstrap/DefinitionValues.h"
#include "bootstrap/SetupPaths.h"
#include "platform/FileStream.h"
#include "platform/Path.h"
#include "platform/Texts.h"
#include "platform/Utf.h"
#include "tools/zl32/MediumCheck.h"
#include "tools/zl32/MediumFiles.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/ProfileText.h"

namespace tolvar::zl32 {
namespace {

// Stands for the medium's folder in the sources: no value holds a line end.
constexpr char kMediumMarker = '\n';

// Names beside the wizard that steer how Windows loads it; Tolvar removes them
// before the wizard starts unless the archive brings them.
constexpr const char* kLoaderSuffixes[] = {".local", ".manifest", ".config"};

// Where an entry's source lies: a path below the medium's folder, or why it
// cannot be looked for there.
struct SourcePlace {
  std::vector<std::string> names;
  std::string problem;
};

bool IsAbsolute(std::string_view path) {
  return path.starts_with('\\') || path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

SourcePlace PlaceOf(const std::string& source) {
  SourcePlace place;
  const auto marker = source.find(kMediumMarker);
  if (marker == std::string::npos) {
    place.problem = IsAbsolute(source) ? "lies outside the medium (the path does not begin with %s)"
                                       : "is relative to whatever folder Tolvar runs in (the path does not begin "
                                         "with %s)";
    return place;
  }
  if (marker != 0) {
    place.problem = "does not begin with %s, so it does not lie on the medium";
    return place;
  }
  const std::string_view rest = std::string_view(source).substr(1);
  if (rest.empty() || (rest.front() != '\\' && rest.front() != '/')) {
    place.problem = rest.empty() ? "names the medium's folder, not a file"
                                 : "has no backslash after %s, so where it lies depends on where the medium is";
    return place;
  }
  for (std::size_t start = 1; start <= rest.size();) {
    const std::size_t end = std::min(rest.find_first_of("\\/", start), rest.size());
    const std::string name(rest.substr(start, end - start));
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (place.names.empty()) {
        place.problem = "climbs out of the medium's folder (..)";
        return place;
      }
      place.names.pop_back();
      continue;
    }
    if (!IsSafeEntryName(name)) {
      place.problem = "holds \"" + name + "\", which no file on Windows is named (" + UnsafeNameReason(name) + ")";
      return place;
    }
    place.names.push_back(name);
  }
  if (place.names.empty()) place.problem = "names the medium's folder, not a file";
  return place;
}

class DefinitionCheck {
 public:
  DefinitionCheck(const std::string& medium, const std::string& path, const ProfileText& text,
                  const std::map<std::int32_t, std::string>& disks, const ArchiveTop& top, MediumReport& report)
      : medium_(medium), path_(path), text_(text), disks_(disks), top_(top), report_(report) {}

  void Run() {
    for (const auto& remark : text_.Remarks()) {
      const std::string where = remark.line > 0 ? "line " + std::to_string(remark.line) + ": " : std::string();
      if (remark.fault) {
        report_.Finding(path_, where + remark.text);
      } else {
        report_.Warn(path_, where + remark.text);
      }
    }
    if (text_.ReadKeys(kCopySection).empty() && !text_.LineOf(kCopySection, "Count")) {
      report_.Warn(path_, std::string("no keys in a [") + kCopySection + "] section: nothing is copied");
      return;
    }
    definition_ = ReadDefinition(text_, std::string(1, kMediumMarker) + "\\");
    numbers_ = ListedEntryNumbers(text_, text_.ReadInteger(kCopySection, "Count", 0));
    WarnOfUncountedEntries();
    CheckSources();
    CheckTargets();
    std::size_t copies = 0;
    for (const auto& entry : definition_.entries) copies += entry.Skipped() ? 0 : 1;
    Report(report_.Out(), Shown(path_) + ": " + Counted(static_cast<std::int64_t>(copies), "file", "files") +
                              " to copy, SrcDisk " + std::to_string(definition_.disk));
  }

 private:
  // n of the entry's From<n>: the entries are read in the order of these numbers.
  std::int32_t Number(const DefinitionEntry& entry) const {
    return numbers_[static_cast<std::size_t>(&entry - definition_.entries.data())];
  }

  std::string Label(const DefinitionEntry& entry) const {
    const std::string key = "From" + std::to_string(Number(entry));
    return "line " + std::to_string(text_.LineOf(kCopySection, key)) + ": " + key + "=" +
           text_.ReadString(kCopySection, key, kNoneMarker) + ": ";
  }

  std::string DiskPrompt() const {
    return "\"" + FormatDiskPrompt(LoadText(TextId::InsertDisk), definition_.disk) + "\"";
  }

  void WarnOfUncountedEntries() {
    const std::int32_t count = text_.ReadInteger(kCopySection, "Count", 0);
    for (const std::string& key : text_.ReadKeys(kCopySection)) {
      if (FromKeyIndex(key) > count) {
        report_.Warn(path_, "line " + std::to_string(text_.LineOf(kCopySection, key)) + ": " + key +
                                " lies beyond Count=" + std::to_string(count) + ": it is not copied");
      }
    }
  }

  // Says why a source found at `lookup` cannot be copied; false then.
  bool Copyable(const DefinitionEntry& entry, const MediumLookup& lookup) {
    switch (lookup.result) {
      case MediumLookup::Result::File: return true;
      case MediumLookup::Result::Other:
        report_.Finding(path_, Label(entry) + Shown(lookup.path) + " is " + lookup.detail +
                                   ", not a file: Tolvar does not read it and shows \"" +
                                   LoadText(TextId::CopyIoErrorFile) + "..." + LoadText(TextId::CopyCannotOpen) + "\"");
        return false;
      case MediumLookup::Result::Ambiguous:
        report_.Finding(path_, Label(entry) + "the folder of " + Shown(lookup.path) + " holds " + lookup.detail +
                                   ", names Windows takes for one");
        return false;
      case MediumLookup::Result::Unreadable:
        report_.Finding(path_, Label(entry) + Shown(lookup.path) + " cannot be read: " + lookup.detail);
        return false;
      case MediumLookup::Result::Folder:
      case MediumLookup::Result::Missing:
        break;
    }
    return false;
  }

  bool Missing(const MediumLookup& lookup) const {
    return lookup.result == MediumLookup::Result::Missing || lookup.result == MediumLookup::Result::Folder;
  }

  // Walks the list as Tolvar does: the medium is in the drive until the first
  // source it lacks; then the user inserts disk SrcDisk, which stays.
  void CheckSources() {
    const std::int32_t disk = definition_.disk;
    const auto given = disks_.find(disk);
    const std::string* diskFolder = disk != 1 && given != disks_.end() ? &given->second : nullptr;
    const std::string notChecked = "not checked: give --disk " + std::to_string(disk) + "=FOLDER";
    bool swapped = false;
    std::vector<std::pair<const DefinitionEntry*, std::vector<std::string>>> readBeforeSwap;
    for (const DefinitionEntry& entry : definition_.entries) {
      if (entry.Skipped()) continue;
      const SourcePlace place = PlaceOf(entry.source.str());
      if (!place.problem.empty()) {
        report_.Finding(path_, Label(entry) + "the source " + place.problem + "; it is not checked");
        continue;
      }
      if (!swapped) {
        const MediumLookup onMedium = FindOnMedium(medium_, place.names);
        if (!Missing(onMedium)) {
          if (Copyable(entry, onMedium) && disk != 1) readBeforeSwap.emplace_back(&entry, place.names);
          continue;
        }
        if (disk == 1) {
          report_.Finding(path_, Label(entry) + Shown(onMedium.path) + " is not on the medium: Tolvar asks " +
                                     DiskPrompt() + " until the user gives up, and starts no wizard");
          continue;
        }
        swapped = true;
      }
      if (!diskFolder) {
        report_.Finding(path_, Label(entry) + "not on the medium, so Tolvar asks " + DiskPrompt() + "; " + notChecked);
        continue;
      }
      const MediumLookup onDisk = FindOnMedium(*diskFolder, place.names);
      if (Missing(onDisk)) {
        report_.Finding(path_, Label(entry) + "on neither the medium nor disk " + std::to_string(disk) + " (" +
                                   Shown(onDisk.path) + "): Tolvar asks " + DiskPrompt() +
                                   " until the user gives up, and starts no wizard");
      } else {
        Copyable(entry, onDisk);
      }
    }
    // The copies start after the last prompt, with disk SrcDisk in the drive.
    for (const auto& [entry, names] : readBeforeSwap) {
      if (!swapped) break;
      const std::string when = "on the medium, but the copies start after the prompt " + DiskPrompt() +
                               ", with that disk in the drive";
      if (!diskFolder) {
        report_.Finding(path_, Label(*entry) + when + "; " + notChecked);
      } else if (const MediumLookup onDisk = FindOnMedium(*diskFolder, names); Missing(onDisk)) {
        report_.Finding(path_, Label(*entry) + when + ", which lacks it (" + Shown(onDisk.path) +
                                   "): it is not copied, and nobody is told");
      }
    }
    for (const auto& [number, folder] : disks_) {
      if (number != disk) {
        report_.Warn(folder, "given as disk " + std::to_string(number) + ", which Tolvar never asks for (SrcDisk is " +
                                 std::to_string(disk) + ")");
      }
    }
  }

  void CheckTargets() {
    std::map<std::u16string, const DefinitionEntry*> copies;
    const std::u16string wizard = WindowsNameKey(kWizardFileName);
    for (const DefinitionEntry& entry : definition_.entries) {
      if (entry.Skipped()) continue;
      const std::string name = entry.TargetName();
      const std::string copy = "its copy \"" + PrintableName(name, true) + "\" ";
      if (!IsSafeEntryName(name)) {
        report_.Finding(path_, Label(entry) + copy + "is not one plain name (" + UnsafeNameReason(name) +
                                   "): Tolvar does not copy it and shows \"" + LoadText(TextId::CopyIoErrorFile) +
                                   "..." + LoadText(TextId::CopyCannotOpen) + "\"");
        continue;
      }
      const std::u16string key = WindowsNameKey(name);
      const auto delivered = top_.items.find(key);
      const bool steersLoader = std::any_of(std::begin(kLoaderSuffixes), std::end(kLoaderSuffixes), [&](const char* s) {
        return key == WindowsNameKey(std::string(kWizardFileName) + s);
      });
      if (key == wizard) {
        report_.Finding(path_, Label(entry) + copy + "bears the wizard's name: Tolvar holds the wizard while it "
                                                     "copies, so the copy fails");
      } else if (delivered != top_.items.end()) {
        report_.Finding(path_, Label(entry) + copy + "bears the name of the " +
                                   (delivered->second.folder ? "folder" : "file") + " \"" + delivered->second.name +
                                   "\" that " + kArchiveFileName +
                                   " writes at its top, which Tolvar holds: the copy fails");
      } else if (steersLoader) {
        report_.Finding(path_, Label(entry) + copy + "steers how Windows loads the wizard: Tolvar removes it before "
                                                     "it starts the wizard");
      } else if (const auto [earlier, added] = copies.try_emplace(key, &entry); !added) {
        const std::string other = earlier->second->TargetName();
        report_.Finding(path_, Label(entry) + copy + "bears the name of the copy of From" +
                                   std::to_string(Number(*earlier->second)) +
                                   (other == name ? "" : " (\"" + PrintableName(other, true) +
                                                             "\": Windows does not tell letter case apart)") +
                                   ": the later copy replaces the earlier one");
      }
    }
  }

  const std::string& medium_;
  const std::string& path_;
  const ProfileText& text_;
  const std::map<std::int32_t, std::string>& disks_;
  const ArchiveTop& top_;
  MediumReport& report_;
  Definition definition_;
  std::vector<std::int32_t> numbers_;
};

// The whole file; nothing when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& path) {
  const auto file = FileStream::OpenRead(path, FileShare::ReadWrite);
  if (!file) return std::nullopt;
  std::string bytes;
  try {
    char buffer[65536];
    for (std::size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  } catch (const EStreamReadFailure&) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

void CheckDefinition(const std::string& medium, const std::map<std::int32_t, std::string>& disks,
                     const ArchiveTop& top, const CodePage& codePage, MediumReport& report) {
  const MediumLookup lookup = FindOnMedium(medium, {kDefinitionFileName});
  if (lookup.result == MediumLookup::Result::Missing) {
    Report(report.Out(), Shown(lookup.path) + ": none; nothing to copy");
    for (const auto& [number, folder] : disks) {
      report.Warn(folder, "given as disk " + std::to_string(number) + ", which Tolvar never asks for (no " +
                              kDefinitionFileName + ")");
    }
    return;
  }
  if (lookup.result != MediumLookup::Result::File) {
    report.Finding(lookup.path, lookup.result == MediumLookup::Result::Ambiguous
                                    ? "the folder holds " + lookup.detail + ", names Windows takes for one"
                                    : "not a file that can be read" +
                                          (lookup.detail.empty() ? std::string() : ": " + lookup.detail));
    return;
  }
  const auto bytes = ReadWhole(lookup.path);
  if (!bytes) {
    report.Finding(lookup.path, "cannot be read");
    return;
  }
  const ProfileText text(*bytes, codePage);
  DefinitionCheck(medium, lookup.path, text, disks, top, report).Run();
}

}  // namespace tolvar::zl32
