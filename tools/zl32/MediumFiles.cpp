#include "tools/zl32/MediumFiles.h"

#include "archive/WindowsNames.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "tools/zl32/DiskTree.h"

namespace tolvar::zl32 {

MediumLookup FindOnMedium(const std::string& folder, const std::vector<std::string>& names) {
  MediumLookup found;
  found.path = ExcludeTrailingBackslash(folder);
  found.result = MediumLookup::Result::Folder;
  DiskPackSource disk;
  for (const std::string& name : names) {
    PackSource::Listing listing;
    try {
      listing = disk.List(found.path);
    } catch (const EArchivePackError& error) {
      return {MediumLookup::Result::Unreadable, found.path, error.what()};
    }
    const std::u16string key = WindowsNameKey(name);
    std::vector<std::string> matches;
    std::string kind;
    const auto consider = [&](const std::string& candidate, const std::string& what) {
      if (WindowsNameKey(candidate) != key) return;
      matches.push_back(candidate);
      kind = what;
    };
    for (const std::string& file : listing.files) consider(file, "file");
    for (const std::string& sub : listing.folders) consider(sub, "folder");
    for (const auto& [other, what] : listing.others) consider(other, what);
    if (matches.empty()) return {MediumLookup::Result::Missing, IncludeTrailingBackslash(found.path) + name, name};
    if (matches.size() > 1) {
      return {MediumLookup::Result::Ambiguous, IncludeTrailingBackslash(found.path) + name,
              "\"" + matches[0] + "\" and \"" + matches[1] + "\""};
    }
    found.path = IncludeTrailingBackslash(found.path) + matches[0];
    // A link counts for what it points to, as a medium copied from this folder holds it.
    if (kind == "file" || (kind == "a symbolic link" && FileExists(found.path))) {
      found.result = MediumLookup::Result::File;
    } else if (kind == "folder" || (kind == "a symbolic link" && DirectoryExists(found.path))) {
      found.result = MediumLookup::Result::Folder;
    } else {
      found.result = MediumLookup::Result::Other;
      found.detail = kind;
    }
    if (found.result != MediumLookup::Result::Folder && &name != &names.back()) {
      return {MediumLookup::Result::Missing, found.path, "no folder: " + matches[0]};
    }
  }
  return found;
}

}  // namespace tolvar::zl32
