// What stopped an extraction with result 4 inside the extractor (a refused
// name, a file that could not be made, written or kept, folders too deep), as
// facts. The extractor only records them; a tool that reports them in words
// asks ExtractFailureText, so that a program that says it in its own words (the
// bootstrapper) carries none of these texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvar {

struct ExtractFailure {
  enum class Kind : std::uint8_t {
    None,
    RefusedName,   // an entry's name is not one safe name
    CannotCreate,  // the file could not be created
    ShortWrite,    // the file could not be written in full (a full disk)
    CannotKeep,    // the file system refused the written file
    TooDeep,       // the next folder would make paths longer than the platform allows
  };
  Kind kind = Kind::None;
  std::string folder;     // the folder the entry belongs in, ending with a backslash
  std::string name;       // the entry's name: as stored for RefusedName, else as used
  std::size_t level = 0;  // TooDeep: the folder level that was refused (1 below the target)
};

// The failure in the tools' words ("cannot create C:\Setup\a"); empty for None.
std::string ExtractFailureText(const ExtractFailure& failure);

}  // namespace tolvar
