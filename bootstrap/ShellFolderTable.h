// Where each of the 23 well-known folders is found: a registry value under the
// current user's or the machine's root, or a platform call.
#pragma once

#include <optional>
#include <string>

namespace tolvar {

inline constexpr int kShellFolderCount = 23;
inline constexpr int kProgramFilesFolder = 18;
inline constexpr int kCommonFilesFolder = 19;
inline constexpr char kShellFoldersKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
inline constexpr char kVendorSuffix[] = "VORLAK SOFTWARE\\Common Files\\";

enum class RegistryRoot { CurrentUser, LocalMachine };
enum class ApiFolder { None, System, Windows, Temp };

struct ShellFolderSource {
  ApiFolder api = ApiFolder::None;  // not None: the folder comes from this platform call
  RegistryRoot root = RegistryRoot::CurrentUser;
  std::string key;        // as written in the table: a leading backslash starts at the root
  std::string valueName;
  // Rows 18 and 19, the program-files and common-files folders: read as a 32-bit
  // program reads them, where the vendor folder has always been on 64-bit Windows.
  bool programFolder = false;

  friend bool operator==(const ShellFolderSource&, const ShellFolderSource&) = default;
};

// Resolves a table row for the current user (true) or all users (false); nothing
// for an index outside 0..22.
std::optional<ShellFolderSource> ResolveShellFolder(int index, bool currentUser);

}  // namespace tolvar
