#include "bootstrap/SharedFolders_win.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

using test::PathExists;
using test::ScratchFolder;

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Utf8ToUtf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wine accepts a descriptor on CreateDirectory but does not keep it, so the
// descriptor is checked as built.
TEST(SharedSecurityTest, EveryoneHasFullInheritedAccessAndIsTheGroup) {
  const auto security = SharedSecurity::Build();
  ASSERT_NE(security, nullptr);
  const SECURITY_ATTRIBUTES* attributes = security->Attributes();
  EXPECT_EQ(attributes->nLength, sizeof(SECURITY_ATTRIBUTES));
  EXPECT_TRUE(attributes->bInheritHandle);
  const PSECURITY_DESCRIPTOR descriptor = attributes->lpSecurityDescriptor;
  ASSERT_TRUE(::IsValidSecurityDescriptor(descriptor));

  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_EQ(revision, 1u);
  EXPECT_TRUE(control & SE_SELF_RELATIVE);
  EXPECT_TRUE(control & SE_DACL_PRESENT);
  EXPECT_TRUE(control & SE_DACL_DEFAULTED);
  EXPECT_TRUE(control & SE_GROUP_DEFAULTED);

  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  ASSERT_TRUE(::GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted));
  EXPECT_EQ(owner, nullptr);

  PSID group = nullptr;
  BOOL groupDefaulted = FALSE;
  ASSERT_TRUE(::GetSecurityDescriptorGroup(descriptor, &group, &groupDefaulted));
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  EXPECT_TRUE(::EqualSid(group, everyone));

  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
  ASSERT_NE(acl, nullptr);
  EXPECT_EQ(acl->AclRevision, ACL_REVISION);
  EXPECT_EQ(acl->AclSize, 28);
  EXPECT_EQ(acl->AceCount, 1);
  void* rawAce = nullptr;
  ASSERT_TRUE(::GetAce(acl, 0, &rawAce));
  const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(rawAce);
  EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
  EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
  EXPECT_EQ(ace->Header.AceSize, 20);
  EXPECT_EQ(ace->Mask, 0x1FFFFFu);
  EXPECT_TRUE(::EqualSid(const_cast<DWORD*>(&ace->SidStart), everyone));
  ::FreeSid(everyone);

  // The same in the string form: group Everyone, one allowed entry, inherited by
  // files (OI) and folders (CI), all rights.
  wchar_t* sddl = nullptr;
  ASSERT_TRUE(::ConvertSecurityDescriptorToStringSecurityDescriptorW(
      descriptor, SDDL_REVISION_1, GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &sddl, nullptr));
  UniqueLocalMemory owned(sddl);
  EXPECT_EQ(Utf16ToUtf8(sddl), "G:WDD:(A;OICI;0x1fffff;;;WD)");
}

TEST(ForceSharedDirectoriesTest, DriveRootsNeedNothing) {
  EXPECT_TRUE(ForceSharedDirectories("C:\\"));
  EXPECT_TRUE(ForceSharedDirectories("C:"));
}

TEST(ForceSharedDirectoriesTest, CreatesEveryMissingFolderFromTheRootDown) {
  ScratchFolder scratch("force shared");
  const std::string deep = scratch / "A\\B\\C\\";
  EXPECT_TRUE(ForceSharedDirectories(deep));
  EXPECT_TRUE(IsFolder(scratch / "A"));
  EXPECT_TRUE(IsFolder(scratch / "A\\B"));
  EXPECT_TRUE(IsFolder(scratch / "A\\B\\C"));
  // Existing folders, with or without the trailing backslash.
  EXPECT_TRUE(ForceSharedDirectories(deep));
  EXPECT_TRUE(ForceSharedDirectories(scratch / "A\\B\\C"));
}

TEST(ForceSharedDirectoriesTest, AFailingParentStopsTheChain) {
  ScratchFolder scratch("force shared");
  ASSERT_TRUE(test::WriteFileBytes(scratch / "file", "x"));
  EXPECT_FALSE(ForceSharedDirectories(scratch / "file\\sub\\deeper"));
  EXPECT_FALSE(PathExists(scratch / "file\\sub"));
  EXPECT_FALSE(CreateSharedDirectory(scratch / "missing\\child"));
}

TEST(ForceSharedDirectoriesTest, AnEmptyPathRaises) {
  try {
    ForceSharedDirectories("");
    FAIL() << "an empty path must raise";
  } catch (const EDirectoryCreateError& error) {
    EXPECT_STREQ(error.what(), "Unable to create directory");
  }
}

TEST(ForceSharedDirectoriesTest, ARelativePathIsCreatedBelowTheCurrentFolder) {
  ScratchFolder scratch("force relative");
  wchar_t saved[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(::SetCurrentDirectoryW(Utf8ToUtf16(scratch.Path()).c_str()));
  const bool created = ForceSharedDirectories("VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\");
  ::SetCurrentDirectoryW(saved);
  EXPECT_TRUE(created);
  EXPECT_TRUE(IsFolder(scratch / "VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup"));
}

// The shared tree as the bootstrapper meets it: the program-files folder that
// the registry names, with the vendor's folders below it, which every user may change.
struct SharedTree {
  ScratchFolder scratch{"shared tree"};
  std::string programFiles = scratch / "Program Files\\";
  std::string setup = programFiles + "VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\";
  std::string outside = scratch / "outside\\";
  test::ProgramFilesOverride override{programFiles};
  SharedTree() {
    ::CreateDirectoryW(Utf8ToUtf16(programFiles).c_str(), nullptr);
    ::CreateDirectoryW(Utf8ToUtf16(outside).c_str(), nullptr);
  }
};

TEST(ForceSharedDirectoriesTest, BelowTheProgramFilesFolderEveryFolderIsHeldUntilReleased) {
  SharedTree tree;
  EXPECT_EQ(SharedTreeRoot(), tree.programFiles);
  SharedFolderHold hold;
  ASSERT_TRUE(ForceSharedDirectories(tree.setup, hold));
  ASSERT_TRUE(hold.Holds());
  EXPECT_EQ(hold.Innermost().Path(), tree.setup);
  // Another program can neither move nor remove a folder of the chain meanwhile.
  for (const std::string& folder : {tree.setup, tree.programFiles + "VORLAK SOFTWARE\\Common Files\\Ostrel\\",
                                    tree.programFiles + "VORLAK SOFTWARE\\Common Files\\",
                                    tree.programFiles + "VORLAK SOFTWARE\\"}) {
    SCOPED_TRACE(folder);
    EXPECT_FALSE(::MoveFileExW(Utf8ToUtf16(ExcludeTrailingBackslash(folder)).c_str(),
                               Utf8ToUtf16(tree.scratch / "moved").c_str(), 0));
  }
  EXPECT_FALSE(::RemoveDirectoryW(Utf8ToUtf16(tree.setup).c_str()));
  hold.Release();
  EXPECT_TRUE(::RemoveDirectoryW(Utf8ToUtf16(tree.setup).c_str()));
}

TEST(ForceSharedDirectoriesTest, AHostLinkBelowTheProgramFilesFolderIsNeverFollowed) {
  if (!test::RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  SharedTree tree;
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(tree.programFiles + "VORLAK SOFTWARE").c_str(), nullptr));
  ASSERT_TRUE(test::MakeHostSymlink(tree.outside, tree.programFiles + "VORLAK SOFTWARE\\Common Files"));
  // Windows cannot take a host link away without taking its target: refused.
  EXPECT_FALSE(ForceSharedDirectories(tree.setup));
  EXPECT_FALSE(PathExists(tree.outside + "Ostrel"));
  EXPECT_TRUE(test::RemoveHostLink(tree.programFiles + "VORLAK SOFTWARE\\Common Files"));
  // Once the link is gone the folders are made as ever.
  EXPECT_TRUE(ForceSharedDirectories(tree.setup));
  EXPECT_TRUE(IsFolder(tree.setup));
}

TEST(ForceSharedDirectoriesTest, AFolderOutsideTheSharedTreeIsMadeAsItIsAndHeldItself) {
  SharedTree tree;
  SharedFolderHold hold;
  ASSERT_TRUE(ForceSharedDirectoriesBelow(tree.programFiles, tree.scratch / "elsewhere\\deeper", hold));
  EXPECT_TRUE(IsFolder(tree.scratch / "elsewhere\\deeper"));
  ASSERT_TRUE(hold.Holds());
  EXPECT_FALSE(::RemoveDirectoryW(Utf8ToUtf16(tree.scratch / "elsewhere\\deeper").c_str()));
  EXPECT_TRUE(::RemoveDirectoryW(Utf8ToUtf16(tree.outside).c_str()));  // not held: not on its path
}

}  // namespace
}  // namespace tolvar
