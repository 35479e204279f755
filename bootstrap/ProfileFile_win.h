// Reading an INI (private profile) file through the platform's own reader, with
// the value rules of the definition file.
#pragma once

#include <string>
#include <vector>

#include "bootstrap/DefinitionFile.h"

namespace tolvar {

class ProfileFile final : public ProfileReader {
 public:
  explicit ProfileFile(std::string path) : path_(std::move(path)) {}

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const override;
  std::vector<std::string> ReadKeys(const std::string& section) const override;

 private:
  std::string path_;
};

}  // namespace tolvar
