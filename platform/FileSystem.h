// The few file-system questions and actions the portable core needs.
// Paths are UTF-8 with backslashes on every platform.
#pragma once

#include <string>

namespace tolvar {

// True when the path names an existing regular file (a folder does not count).
bool FileExists(const std::string& path);

// True when the path names an existing folder.
bool DirectoryExists(const std::string& path);

// Creates one folder with default security; its parent must exist.
bool CreateDir(const std::string& path);

// Creates a folder and every missing parent with default security. True when the
// folder exists afterwards.
bool ForceDirectories(const std::string& path);

// True when the platform's file calls take a path this long without a long-path
// prefix: on Windows fewer than MAX_PATH (260) UTF-16 units, on POSIX fewer than
// PATH_MAX bytes.
bool PathFits(const std::string& path);

}  // namespace tolvar
