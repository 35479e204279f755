#include "archive/ExtractFailure.h"

#include "archive/EntryName.h"

namespace tolvar {

std::string ExtractFailureText(const ExtractFailure& failure) {
  const std::string path = failure.folder + failure.name;
  switch (failure.kind) {
    case ExtractFailure::Kind::None: return {};
    case ExtractFailure::Kind::RefusedName:
      return "refused the name \"" + PrintableName(failure.name) + "\" in " + failure.folder;
    case ExtractFailure::Kind::CannotCreate: return "cannot create " + path;
    case ExtractFailure::Kind::ShortWrite: return "cannot write all of " + path + " (disk full?)";
    case ExtractFailure::Kind::CannotKeep: return "cannot keep " + path + " as it was written";
    case ExtractFailure::Kind::TooDeep:
      return "the folders nest too deep: level " + std::to_string(failure.level) +
             " would make a path longer than the system allows";
  }
  return {};
}

}  // namespace tolvar
