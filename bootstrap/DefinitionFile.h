// What the copy step takes from the definition file (tolvar.def), apart from
// the reader that fetches its values: the numbered entries, their sources with
// the medium's folder in place of "%s", their copies' names, and the one disk
// number. Tolvar.exe reads the file through Windows' private-profile reader
// (ProfileFile); the archive tool through its own of the same rules. A reader
// has ReadString, ReadInteger and ReadKeys as ProfileFile has them; a template
// rather than an interface, so that Tolvar.exe carries no more than it did.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "bootstrap/DefinitionValues.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar {

inline constexpr char kDefinitionFileName[] = "tolvar.def";
inline constexpr char kCopySection[] = "CopyFiles";
// The marker of an entry to skip, and of a copy named like its source. Exact
// and case-sensitive: "none" is a path.
inline constexpr char kNoneMarker[] = "NONE";

// One entry of the copy list as the file gives it.
struct DefinitionEntry {
  PathString source;  // From<n> with the source folder in place of "%s"; "NONE" skips the entry
  std::string to;     // To<n>; "NONE" names the copy like its source

  bool Skipped() const { return source.str() == kNoneMarker; }
  // The copy's name in the setup folder: the file-name part of To, or of the
  // source when To is "NONE".
  std::string TargetName() const { return DefinitionFileName(to == kNoneMarker ? source.str() : to); }
};

// What the copy step needs of the definition file, read whole before any disk
// is asked for.
struct Definition {
  std::vector<DefinitionEntry> entries;  // one per number of ListedEntryNumbers, in its order
  std::int32_t disk = 1;                 // SrcDisk: the disk the prompt asks for
};

// The numbers n (1..Count, ascending) of the section's "From<n>" keys: the
// entries to read. An entry without its From key reads as "NONE" and is
// skipped anyway, so a huge Count or key number costs neither time nor memory.
template <typename ProfileReader>
std::vector<std::int32_t> ListedEntryNumbers(const ProfileReader& file, std::int32_t count) {
  std::vector<std::int32_t> numbers;
  for (const std::string& key : file.ReadKeys(kCopySection)) {
    const std::int32_t n = FromKeyIndex(key);
    if (n >= 1 && n <= count) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

// Reads the copy list's keys. `sourceFolder` (the medium's, with a trailing
// backslash) stands for "%s" without its backslash.
template <typename ProfileReader>
Definition ReadDefinition(const ProfileReader& file, const std::string& sourceFolder) {
  const std::string sourceArgument = ExcludeTrailingBackslash(sourceFolder);
  Definition definition;
  definition.disk = file.ReadInteger(kCopySection, "SrcDisk", 1);
  const std::int32_t count = file.ReadInteger(kCopySection, "Count", 0);
  for (const std::int32_t n : ListedEntryNumbers(file, count)) {
    const std::string number = IntToStr(n);
    definition.entries.push_back(
        {PathString(ExpandSourcePattern(file.ReadString(kCopySection, "From" + number, kNoneMarker), sourceArgument)),
         file.ReadString(kCopySection, "To" + number, kNoneMarker)});
  }
  return definition;
}

}  // namespace tolvar
