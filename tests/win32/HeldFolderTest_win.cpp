// Held folders on a Windows file system (under Wine), with every kind of link
// that Wine can show planted where the program writes: host symbolic links to a
// folder and to a file, and hard links. Windows symbolic links are made too where
// the system really creates them.
#include "platform/HeldFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

using test::ReadFileBytes;
using test::ScratchFolder;
using test::WriteFileBytes;

DWORD Attributes(const std::string& path) { return ::GetFileAttributesW(Utf8ToUtf16(path).c_str()); }

DWORD LinkCount(const std::string& path) {
  UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(path).c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  return file && ::GetFileInformationByHandle(file.get(), &info) ? info.nNumberOfLinks : 0;
}

bool WriteAll(FileStream& stream, const std::string& text) { return stream.Write(text.data(), text.size()) == text.size(); }

// A setup folder to write into and an outside folder that must stay untouched.
class HeldFolderOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(outside_).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(outside_ + "secret", "outside"));
    setup_ = HeldFolder::OpenTrusted(setupPath_);
    ASSERT_NE(setup_, nullptr);
  }

  ScratchFolder scratch_{"held folder"};
  std::string outside_ = scratch_ / "outside\\";
  std::string setupPath_ = scratch_ / "setup\\";
  std::unique_ptr<HeldFolder> setup_;
};

TEST_F(HeldFolderOnDisk, AHostFolderLinkIsNeverEnteredNorRemovedThroughItsTarget) {
  if (!test::RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  // An empty target: removing the link the Windows way would remove it under Wine.
  const std::string emptyTarget = scratch_ / "outside\\empty";
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(emptyTarget).c_str(), nullptr));
  ASSERT_TRUE(test::MakeHostSymlink(outside_, setupPath_ + "data"));
  ASSERT_TRUE(test::MakeHostSymlink(emptyTarget, setupPath_ + "empty"));
  EXPECT_EQ(Attributes(setupPath_ + "data"), DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT});

  EXPECT_EQ(setup_->EnterChild("data"), nullptr);
  EXPECT_EQ(setup_->EnterChild("empty"), nullptr);
  EXPECT_FALSE(OpenFolderChain(scratch_.Path(), setupPath_ + "data\\deeper"));
  EXPECT_EQ(Attributes(emptyTarget), DWORD{FILE_ATTRIBUTE_DIRECTORY});
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
  EXPECT_EQ(Attributes(outside_ + "deeper"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "data"));
  EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "empty"));
}

TEST_F(HeldFolderOnDisk, AHostFileLinkIsNeitherWrittenThroughNorRemovedThroughItsTarget) {
  if (!test::RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  ASSERT_TRUE(test::MakeHostSymlink(outside_ + "secret", setupPath_ + "setupostrel.exe"));
  EXPECT_EQ(setup_->CreateNewFile("setupostrel.exe", ReadOnlyFile::Replace), nullptr);
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
  EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "setupostrel.exe"));
}

TEST_F(HeldFolderOnDisk, AHardLinkLosesItsNameAndTheOtherNameKeepsItsBytes) {
  ASSERT_TRUE(::CreateHardLinkW(Utf8ToUtf16(setupPath_ + "C.DAT").c_str(), Utf8ToUtf16(outside_ + "secret").c_str(),
                                nullptr));
  ASSERT_EQ(LinkCount(setupPath_ + "C.DAT"), 2u);
  auto file = setup_->CreateNewFile("C.DAT", ReadOnlyFile::Refuse);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(WriteAll(*file, "copied"));
  file.reset();
  EXPECT_EQ(ReadFileBytes(setupPath_ + "C.DAT"), "copied");
  EXPECT_EQ(LinkCount(setupPath_ + "C.DAT"), 1u);
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
  EXPECT_EQ(LinkCount(outside_ + "secret"), 1u);
}

TEST_F(HeldFolderOnDisk, AWindowsSymbolicLinkIsReplacedWhereTheSystemMakesOne) {
  ::CreateSymbolicLinkW(Utf8ToUtf16(setupPath_ + "data").c_str(), Utf8ToUtf16(outside_).c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY);
  ::CreateSymbolicLinkW(Utf8ToUtf16(setupPath_ + "file").c_str(), Utf8ToUtf16(outside_ + "secret").c_str(), 0);
  if (Attributes(setupPath_ + "data") == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "the system reports symbolic links made but makes none (Wine 8)";
  }
  auto data = setup_->EnterChild("data");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(Attributes(setupPath_ + "data") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  auto file = setup_->CreateNewFile("file", ReadOnlyFile::Refuse);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Attributes(setupPath_ + "file") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
}

TEST_F(HeldFolderOnDisk, ReadOnlyFilesAndFilesInUse) {
  ASSERT_TRUE(WriteFileBytes(setupPath_ + "ro", "old"));
  ASSERT_TRUE(::SetFileAttributesW(Utf8ToUtf16(setupPath_ + "ro").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(setup_->CreateNewFile("ro", ReadOnlyFile::Refuse), nullptr);
  EXPECT_EQ(ReadFileBytes(setupPath_ + "ro"), "old");
  auto replaced = setup_->CreateNewFile("ro", ReadOnlyFile::Replace);
  ASSERT_NE(replaced, nullptr);
  EXPECT_TRUE(WriteAll(*replaced, "new"));
  replaced.reset();
  EXPECT_EQ(ReadFileBytes(setupPath_ + "ro"), "new");
  EXPECT_EQ(Attributes(setupPath_ + "ro") & FILE_ATTRIBUTE_READONLY, 0u);

  ASSERT_TRUE(WriteFileBytes(setupPath_ + "busy", "in use"));
  {
    // A running program holds it, sharing reading and writing but not deletion.
    UniqueFileHandle inUse(::CreateFileW(Utf8ToUtf16(setupPath_ + "busy").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    EXPECT_EQ(setup_->CreateNewFile("busy", ReadOnlyFile::Replace), nullptr);
  }
  EXPECT_EQ(ReadFileBytes(setupPath_ + "busy"), "in use");

  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_ + "folder").c_str(), nullptr));
  EXPECT_EQ(setup_->CreateNewFile("folder", ReadOnlyFile::Replace), nullptr);
  EXPECT_EQ(Attributes(setupPath_ + "folder"), DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

TEST_F(HeldFolderOnDisk, CreatesInAFolderSwappedFromTheHostAreUndoneAndRefused) {
  if (!test::RunsUnderWine()) GTEST_SKIP() << "the host swaps folders under Wine only";
  auto sub = setup_->EnterChild("sub");
  ASSERT_NE(sub, nullptr);
  // Another user of the machine renames the held folder and puts a link to the
  // outside in its place; Wine then resolves creates below the held handle by name.
  ASSERT_TRUE(test::MoveOnHost(setupPath_ + "sub", setupPath_ + "aside"));
  ASSERT_TRUE(test::MakeHostSymlink(outside_, setupPath_ + "sub"));
  EXPECT_EQ(sub->CreateNewFile("x.dll", ReadOnlyFile::Refuse), nullptr);
  EXPECT_EQ(sub->EnterChild("deeper"), nullptr);
  EXPECT_EQ(Attributes(outside_ + "x.dll"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Attributes(outside_ + "deeper"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
  EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "sub"));
}

TEST_F(HeldFolderOnDisk, AHeldFileIsReadAndLoadedByOthersButNeitherChangedNorMoved) {
  ASSERT_TRUE(WriteFileBytes(setupPath_ + "helper.dll", "the vendor's"));
  auto held = setup_->HoldFile("helper.dll");
  ASSERT_TRUE(held);
  const std::wstring path = Utf8ToUtf16(setupPath_ + "helper.dll");
  const auto opens = [&](DWORD access, DWORD share) {
    return static_cast<bool>(UniqueFileHandle(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)));
  };
  EXPECT_TRUE(opens(GENERIC_READ, FILE_SHARE_READ));
  EXPECT_TRUE(opens(FILE_EXECUTE | FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE));  // as the loader opens it
  EXPECT_FALSE(opens(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
  EXPECT_FALSE(::MoveFileExW(path.c_str(), Utf8ToUtf16(setupPath_ + "aside").c_str(), 0));
  EXPECT_FALSE(::DeleteFileW(path.c_str()));
  held.reset();
  EXPECT_TRUE(::DeleteFileW(path.c_str()));

  ASSERT_TRUE(::CreateHardLinkW(Utf8ToUtf16(setupPath_ + "other name").c_str(),
                                Utf8ToUtf16(outside_ + "secret").c_str(), nullptr));
  EXPECT_FALSE(setup_->HoldFile("other name"));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_ + "folder").c_str(), nullptr));
  EXPECT_FALSE(setup_->HoldFile("folder"));
  EXPECT_FALSE(setup_->HoldFile("missing"));
  if (test::RunsUnderWine()) {
    ASSERT_TRUE(test::MakeHostSymlink(outside_ + "secret", setupPath_ + "linked"));
    EXPECT_FALSE(setup_->HoldFile("linked"));
    EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "linked"));
  }
}

TEST_F(HeldFolderOnDisk, RemovingANameTakesItsTreeApartButNoHostLinkInIt) {
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_ + "tree").c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_ + "tree\\deeper").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(setupPath_ + "tree\\x.dll", "planted"));
  ASSERT_TRUE(WriteFileBytes(setupPath_ + "tree\\deeper\\y.dll", "planted"));
  ASSERT_TRUE(::SetFileAttributesW(Utf8ToUtf16(setupPath_ + "tree\\deeper\\y.dll").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(WriteFileBytes(setupPath_ + "file", "planted"));
  for (const char* name : {"tree", "file", "missing"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(setup_->HasName(name), std::string(name) != "missing");
    EXPECT_TRUE(setup_->RemoveName(name));
    EXPECT_EQ(Attributes(setupPath_ + name), INVALID_FILE_ATTRIBUTES);
  }

  if (!test::RunsUnderWine()) return;
  // A host link opens at its target under Wine: it is left, and so is its target.
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(setupPath_ + "linking").c_str(), nullptr));
  ASSERT_TRUE(test::MakeHostSymlink(outside_, setupPath_ + "linking\\to outside"));
  EXPECT_TRUE(setup_->HasName("linking"));
  EXPECT_FALSE(setup_->RemoveName("linking"));
  EXPECT_EQ(ReadFileBytes(outside_ + "secret"), "outside");
  EXPECT_TRUE(test::RemoveHostLink(setupPath_ + "linking\\to outside"));
}

TEST_F(HeldFolderOnDisk, HeldFoldersCanBeNeitherRenamedNorRemoved) {
  auto chain = OpenFolderChain(scratch_.Path(), setupPath_ + "A\\B\\");
  ASSERT_TRUE(chain);
  EXPECT_EQ(chain->size(), 4u);  // the root, setup, A and B
  for (const std::string& folder : {setupPath_ + "A\\B", setupPath_ + "A", ExcludeTrailingBackslash(setupPath_)}) {
    SCOPED_TRACE(folder);
    EXPECT_FALSE(::MoveFileExW(Utf8ToUtf16(folder).c_str(), Utf8ToUtf16(scratch_ / "moved").c_str(), 0));
  }
  EXPECT_FALSE(::RemoveDirectoryW(Utf8ToUtf16(setupPath_ + "A\\B").c_str()));
  // Writing inside goes on meanwhile.
  auto file = chain->Innermost().CreateNewFile("x", ReadOnlyFile::Refuse);
  ASSERT_NE(file, nullptr);
  file.reset();
  chain->Release();
  EXPECT_TRUE(::MoveFileExW(Utf8ToUtf16(setupPath_ + "A").c_str(), Utf8ToUtf16(scratch_ / "moved").c_str(), 0));
  EXPECT_EQ(ReadFileBytes(scratch_ / "moved\\B\\x"), "");
}

}  // namespace
}  // namespace tolvar
