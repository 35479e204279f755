#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/Utf.h"

namespace tolvar {

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Utf8ToUtf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Utf8ToUtf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathFits(const std::string& path) { return Utf8ToUtf16(path).size() < MAX_PATH; }

bool CreateDir(const std::string& path) {
  return ::CreateDirectoryW(Utf8ToUtf16(path).c_str(), nullptr) != FALSE;
}

}  // namespace tolvar
