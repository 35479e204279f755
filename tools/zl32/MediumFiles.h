// Files on a medium found as Windows finds them: every name of a path compared
// without letter case (WindowsNameKey), also where the medium's folder lies on
// a system that tells case apart. A folder that holds two names Windows takes
// for one cannot be put on a medium as it is.
#pragma once

#include <string>
#include <vector>

namespace tolvar::zl32 {

struct MediumLookup {
  enum class Result {
    File,       // `path` is a plain file (or a link to one)
    Folder,     // `path` is a folder
    Other,      // `path` is neither (`detail` says what: a named pipe, a device)
    Missing,    // nothing of that name; `detail` names the first missing part
    Ambiguous,  // a folder on the way holds two names Windows takes for one; `detail` says which
    Unreadable  // a folder on the way cannot be listed; `detail` says why
  };
  Result result = Result::Missing;
  std::string path;  // the path found, in the program's form (backslashes)
  std::string detail;
};

// Looks up `names` (the parts of a path, in order) below `folder`.
MediumLookup FindOnMedium(const std::string& folder, const std::vector<std::string>& names);

}  // namespace tolvar::zl32
