#include "bootstrap/DefinitionFile.h"

#include <algorithm>

#include "bootstrap/DefinitionValues.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// The numbers n (1..Count, ascending) of the section's "From<n>" keys.
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

}  // namespace

std::int32_t ProfileReader::ReadInteger(const std::string& section, const std::string& key,
                                        std::int32_t fallback) const {
  // An absent key reads as empty text, which is not an integer either.
  return ParseProfileInteger(ReadString(section, key, std::string()), fallback);
}

std::string DefinitionEntry::TargetName() const { return DefinitionFileName(to == kNoneMarker ? source.str() : to); }

Definition ReadDefinition(const ProfileReader& file, const std::string& sourceFolder) {
  const std::string sourceArgument = ExcludeTrailingBackslash(sourceFolder);
  Definition definition;
  definition.disk = file.ReadInteger(kCopySection, "SrcDisk", 1);
  definition.count = file.ReadInteger(kCopySection, "Count", 0);
  for (const std::int32_t n : ListedEntryNumbers(file, definition.count)) {
    const std::string number = IntToStr(n);
    DefinitionEntry entry;
    entry.number = n;
    entry.from = file.ReadString(kCopySection, "From" + number, kNoneMarker);
    entry.source = PathString(ExpandSourcePattern(entry.from, sourceArgument));
    entry.to = file.ReadString(kCopySection, "To" + number, kNoneMarker);
    definition.entries.push_back(std::move(entry));
  }
  return definition;
}

}  // namespace tolvar
