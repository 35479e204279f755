#include "bootstrap/ShellFolderTable.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

ShellFolderSource Registry(RegistryRoot root, std::string key, std::string value) {
  ShellFolderSource source;
  source.root = root;
  source.key = std::move(key);
  source.valueName = std::move(value);
  return source;
}

constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
const std::string kCurrentVersion = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";

TEST(ShellFolderTable, ProgramFoldersAreReadUnderTheMachineRootForEitherFlagAsA32BitProgramReadsThem) {
  auto programFiles = Registry(kMachine, kCurrentVersion, "ProgramFilesDir");
  auto commonFiles = Registry(kMachine, kCurrentVersion, "CommonFilesDir");
  programFiles.programFolder = commonFiles.programFolder = true;
  for (const bool user : {true, false}) {
    EXPECT_EQ(ResolveShellFolder(18, user), programFiles);
    EXPECT_EQ(ResolveShellFolder(19, user), commonFiles);
  }
  // The per-user shell folders are not redirected.
  for (int index = 0; index < 18; ++index) EXPECT_FALSE(ResolveShellFolder(index, true)->programFolder) << index;
}

TEST(ShellFolderTable, AllUsersNamesAndTheCommonPrefix) {
  EXPECT_EQ(ResolveShellFolder(7, false), Registry(kMachine, kShellFoldersKey, "Common Documents"));
  EXPECT_EQ(ResolveShellFolder(7, true), Registry(kUser, kShellFoldersKey, "Personal"));
  EXPECT_EQ(ResolveShellFolder(0, false), Registry(kMachine, kShellFoldersKey, "Common Start Menu"));
  EXPECT_EQ(ResolveShellFolder(13, false), Registry(kMachine, kShellFoldersKey, "CommonPictures"));
}

TEST(ShellFolderTable, TheOtherColumnMarkerSwapsTheRoot) {
  EXPECT_EQ(ResolveShellFolder(5, false), Registry(kUser, kShellFoldersKey, "Local AppData"));
  EXPECT_EQ(ResolveShellFolder(5, true), Registry(kUser, kShellFoldersKey, "Local AppData"));
  EXPECT_EQ(ResolveShellFolder(17, false), Registry(kUser, kShellFoldersKey, "SendTo"));
}

TEST(ShellFolderTable, PlatformCallRowsIgnoreTheFlag) {
  for (const bool user : {true, false}) {
    EXPECT_EQ(ResolveShellFolder(20, user)->api, ApiFolder::System);
    EXPECT_EQ(ResolveShellFolder(21, user)->api, ApiFolder::Windows);
    EXPECT_EQ(ResolveShellFolder(22, user)->api, ApiFolder::Temp);
  }
  EXPECT_EQ(ResolveShellFolder(4, true)->api, ApiFolder::None);
}

TEST(ShellFolderTable, IndicesOutsideTheTableHaveNoSource) {
  EXPECT_FALSE(ResolveShellFolder(-1, true));
  EXPECT_FALSE(ResolveShellFolder(23, false));
}

}  // namespace
}  // namespace tolvar
