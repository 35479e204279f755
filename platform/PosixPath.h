// POSIX only: the system's paths use '\'; the POSIX calls want '/'.
#pragma once

#include <string>

namespace tolvar {

inline std::string ToPosixPath(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

// The inverse, for paths given by a POSIX user (command-line arguments).
inline std::string FromPosixPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

}  // namespace tolvar
