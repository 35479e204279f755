// The definition-file copy step: copies the extra files that tolvar.def lists
// into the setup folder, asking for the source disk while a file is missing, under
// the wait window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bootstrap/DefinitionFile.h"
#include "platform/Path.h"

namespace tolvar {

// The files to copy, in list order: source paths (the "From" patterns applied)
// and target paths (setup folder + the file name of "To").
struct CopyList {
  std::vector<PathString> sources;
  std::vector<PathString> targets;
};

// Reads the copy list of a definition file: every key it needs first, then, while
// a listed source is missing, it asks for the disk "SrcDisk" (so a disk swap
// that takes the definition file away loses nothing); nullopt when the user
// declines (nothing is copied then). `sourceFolder` ends with a backslash.
std::optional<CopyList> ReadCopyList(const std::string& definitionPath, const std::string& sourceFolder,
                                     const PathString& setupFolder);

// The copy step: tolvar.def in the source folder (the running program's, with a
// trailing backslash), files into the setup folder. False only when the user
// declined a disk prompt; true otherwise, including a missing definition file
// and failed copies (each one already reported).
bool CopyDefinitionFiles(const std::string& sourceFolder, const PathString& setupFolder);

// The progress callback of the copies: one step of the wait window, whatever the
// arguments.
void CopyStepProgress(const PathString& source, const PathString& target, std::uint8_t percent);

}  // namespace tolvar
