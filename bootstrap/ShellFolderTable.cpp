#include "bootstrap/ShellFolderTable.h"

#include <array>
#include <string_view>

#include "platform/Path.h"

namespace tolvar {
namespace {

// Markers: "x" = use the other column under the other root; "_api" = a platform
// call; an empty all-users name = "Common " + the per-user name.
constexpr std::string_view kOther = "x";
constexpr std::string_view kApi = "_api";

struct Row {
  std::string_view perUser;
  std::string_view allUsers;
};

constexpr std::array<Row, kShellFolderCount> kShellFolderNames{{
    {"Start Menu", ""},
    {"Programs", ""},
    {"Startup", ""},
    {"Administrative Tools", ""},
    {"AppData", ""},
    {"Local AppData", "x"},
    {"Desktop", ""},
    {"Personal", "Common Documents"},
    {"Favorites", ""},
    {"Templates", ""},
    {"Cookies", "x"},
    {"Fonts", "x"},
    {"History", "x"},
    {"My Pictures", "CommonPictures"},
    {"NetHood", "x"},
    {"PrintHood", "x"},
    {"Recent", "x"},
    {"SendTo", "x"},
    {"x", "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir"},
    {"x", "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\CommonFilesDir"},
    {"_api", ""},  // system folder
    {"_api", ""},  // Windows folder
    {"_api", ""},  // temporary folder
}};

RegistryRoot Swap(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
}

}  // namespace

std::optional<ShellFolderSource> ResolveShellFolder(int index, bool currentUser) {
  if (index < 0 || index >= kShellFolderCount) return std::nullopt;
  const Row& row = kShellFolderNames[static_cast<std::size_t>(index)];
  ShellFolderSource source;
  source.root = currentUser ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;

  // The platform-call marker is looked up in the per-user column whatever the flag.
  if (row.perUser == kApi) {
    source.api = index == 20 ? ApiFolder::System : index == 21 ? ApiFolder::Windows : ApiFolder::Temp;
    return source;
  }

  std::string name(currentUser ? row.perUser : row.allUsers);
  if (name.empty() && !currentUser) {
    name = "Common " + std::string(row.perUser);
  } else if (name == kOther) {
    name = currentUser ? row.allUsers : row.perUser;
    source.root = Swap(source.root);
  }

  source.programFolder = index == kProgramFilesFolder || index == kCommonFilesFolder;
  source.key = ExtractFilePath(name);
  if (source.key.empty()) {
    source.key = kShellFoldersKey;
    source.valueName = name;
  } else {
    source.valueName = ExtractFileName(name);
  }
  return source;
}

}  // namespace tolvar
