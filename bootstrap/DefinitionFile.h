// What the copy step takes from the definition file (tolvar.def), apart from
// the reader that fetches its values: the numbered entries, their sources with
// the medium's folder in place of "%s", their targets' names, and the one disk
// number. Tolvar.exe reads the file through Windows' private-profile reader;
// the archive tool reads it through its own of the same rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Path.h"

namespace tolvar {

inline constexpr char kDefinitionFileName[] = "tolvar.def";
inline constexpr char kCopySection[] = "CopyFiles";
// The marker of an entry to skip, and of a target named like its source. Exact
// and case-sensitive: "none" is a path.
inline constexpr char kNoneMarker[] = "NONE";

// An INI (private profile) file's values, with the rules of the platform's reader.
class ProfileReader {
 public:
  virtual ~ProfileReader() = default;
  // The value of a key, or `fallback` when the section or key is absent. Read
  // with a 2048-character buffer, then cut to 255 characters.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const = 0;
  // The names of all keys of a section, in file order; empty when it is absent.
  virtual std::vector<std::string> ReadKeys(const std::string& section) const = 0;

  // An integer value (see ParseProfileInteger); `fallback` when absent or invalid.
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const;
};

// One entry of the copy list as the file gives it.
struct DefinitionEntry {
  std::int32_t number = 0;  // n of From<n>
  std::string from;         // the From value as read
  PathString source;        // From with the source folder in place of "%s"; "NONE" skips the entry
  std::string to;           // the To value; "NONE" names the copy like its source

  bool Skipped() const { return source.str() == kNoneMarker; }
  // The copy's name in the setup folder: the file-name part of To, or of the
  // source when To is "NONE".
  std::string TargetName() const;
};

// What the copy step needs of the definition file, read whole before any disk
// is asked for.
struct Definition {
  std::int32_t count = 0;  // Count
  std::int32_t disk = 1;   // SrcDisk: the disk the prompt asks for
  std::vector<DefinitionEntry> entries;  // every From<n> with 1 <= n <= Count, by n
};

// Reads the copy list's keys. `sourceFolder` (the medium's, with a trailing
// backslash) stands for "%s" without its backslash. Only the entries that have
// a From key are read (an entry without one reads as "NONE" and is skipped
// anyway), so a huge Count or key number costs neither time nor memory.
Definition ReadDefinition(const ProfileReader& file, const std::string& sourceFolder);

}  // namespace tolvar
