#include "bootstrap/SystemInfoCtrl_win.h"

#include <gtest/gtest.h>

#include "platform/Registry_win.h"
#include "platform/Utf.h"
#include "tests/support/RegistrySandbox_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

using test::ProgramFilesOverride;
using test::RegistryValueOverride;

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// The folder lookup reads HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER: each test
// here runs in a registry of its own with both, so that the values it sets
// never touch the machine's or the user's.
class SandboxedRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(registry_.Active()); }
  test::RegistrySandbox registry_{HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
};
class VendorCommonFolder : public SandboxedRegistryTest {};
class ShellFolders : public SandboxedRegistryTest {};
class ReadRegistryStringTest : public SandboxedRegistryTest {};

TEST_F(VendorCommonFolder, FollowsTheProgramFilesValue) {
  ProgramFilesOverride programFiles(std::string("C:\\Program Files"));
  EXPECT_EQ(GetVendorCommonFolder(), "C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\");
  EXPECT_EQ(GetShellFolder(18, true), "C:\\Program Files\\");
  EXPECT_EQ(GetShellFolder(18, false), "C:\\Program Files\\");
}

TEST_F(VendorCommonFolder, AValueEndingInABackslashGetsNoSecondOne) {
  ProgramFilesOverride programFiles(std::string("D:\\Apps\\"));
  EXPECT_EQ(GetVendorCommonFolder(), "D:\\Apps\\VORLAK SOFTWARE\\Common Files\\");
}

TEST_F(VendorCommonFolder, IsRelativeWhenTheProgramFilesValueIsMissing) {
  ProgramFilesOverride programFiles(std::nullopt);
  EXPECT_EQ(GetShellFolder(18, true), "");
  EXPECT_EQ(GetVendorCommonFolder(), "VORLAK SOFTWARE\\Common Files\\");
}

// The two registry views of 64-bit Windows, set apart in the machine's own
// registry (a sandbox has only one view): a 32-bit program reads the 32-bit one.
TEST(ProgramFolderViews, The32BitViewNamesTheFolderAndTheOwnViewStandsInForIt) {
  for (const char* value : {"ProgramFilesDir", "CommonFilesDir"}) {
    SCOPED_TRACE(value);
    const int index = std::string(value) == "ProgramFilesDir" ? 18 : 19;
    RegistryValueOverride own(HKEY_LOCAL_MACHINE, kCurrentVersion, value, std::string("C:\\PF64"), KEY_WOW64_64KEY);
    {
      RegistryValueOverride view32(HKEY_LOCAL_MACHINE, kCurrentVersion, value, std::string("C:\\PF32"),
                                   KEY_WOW64_32KEY);
      EXPECT_EQ(GetShellFolder(index, true), "C:\\PF32\\");
      EXPECT_EQ(GetShellFolder(index, false), "C:\\PF32\\");
      if (index == 18) {
        EXPECT_EQ(GetVendorCommonFolder(), "C:\\PF32\\VORLAK SOFTWARE\\Common Files\\");
      }
    }
    RegistryValueOverride none32(HKEY_LOCAL_MACHINE, kCurrentVersion, value, std::nullopt, KEY_WOW64_32KEY);
    EXPECT_EQ(GetShellFolder(index, true), "C:\\PF64\\");
  }
}

TEST_F(ShellFolders, PerUserAndAllUsersNamesReadTheirOwnRoots) {
  RegistryValueOverride personal(HKEY_CURRENT_USER, kShellFolders, "Personal", std::string("C:\\Users\\Me\\Docs"));
  RegistryValueOverride common(HKEY_LOCAL_MACHINE, kShellFolders, "Common Documents", std::string("C:\\Public\\Docs"));
  RegistryValueOverride startMenu(HKEY_LOCAL_MACHINE, kShellFolders, "Common Start Menu", std::string("C:\\SM"));
  RegistryValueOverride local(HKEY_CURRENT_USER, kShellFolders, "Local AppData", std::string("C:\\Local"));
  RegistryValueOverride commonFiles(HKEY_LOCAL_MACHINE, kCurrentVersion, "CommonFilesDir", std::string("C:\\CF\\"));

  EXPECT_EQ(GetShellFolder(7, true), "C:\\Users\\Me\\Docs\\");
  EXPECT_EQ(GetShellFolder(7, false), "C:\\Public\\Docs\\");
  EXPECT_EQ(GetShellFolder(0, false), "C:\\SM\\");
  // "x" in the all-users column: the per-user value under the current user.
  EXPECT_EQ(GetShellFolder(5, false), "C:\\Local\\");
  EXPECT_EQ(GetShellFolder(19, true), "C:\\CF\\");
  EXPECT_EQ(GetShellFolder(19, false), "C:\\CF\\");
}

TEST_F(ShellFolders, PlatformCallFoldersEndWithABackslash) {
  wchar_t buffer[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
  EXPECT_EQ(GetShellFolder(20, false), Utf16ToUtf8(std::wstring_view(buffer, length)) + "\\");
  EXPECT_EQ(GetSystemFolder(), GetShellFolder(20, true));
  const UINT windowsLength = ::GetWindowsDirectoryW(buffer, MAX_PATH);
  EXPECT_EQ(GetWindowsFolder(), Utf16ToUtf8(std::wstring_view(buffer, windowsLength)) + "\\");
  const std::string temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(temp.substr(temp.size() - 2), "\\\\");
  EXPECT_EQ(GetShellFolder(22, true), temp);
  EXPECT_EQ(GetShellFolder(23, true), "");
}

TEST_F(ReadRegistryStringTest, MissingKeysValuesAndOtherTypesReadEmpty) {
  const std::string scratch = "Software\\TolvarTests\\SystemInfo";
  DeleteKeyTree(HKEY_CURRENT_USER, scratch);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "\\" + scratch + "\\", "Value"), "");
  const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, scratch);
  key.WriteString("Value", "C:\\X");
  key.WriteDword("Number", 5);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "\\" + scratch + "\\", "Value"), "C:\\X");
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, scratch, "Missing"), "");
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, scratch, "Number"), "");
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, scratch));
}

}  // namespace
}  // namespace tolvar
