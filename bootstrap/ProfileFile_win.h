// Reading an INI (private profile) file through the platform's own reader, with
// the value rules of the definition file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tolvar {

class ProfileFile {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  // The value of a key, or `fallback` when the section or key is absent. Read
  // with a 2048-character buffer, then cut to 255 characters.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;

  // An integer value (see ParseProfileInteger); `fallback` when absent or invalid.
  std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t fallback) const;

  // The names of all keys of a section, in file order; empty when it is absent.
  std::vector<std::string> ReadKeys(const std::string& section) const;

 private:
  std::string path_;
};

}  // namespace tolvar
