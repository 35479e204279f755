// The extractor on a real Windows file system (under Wine): every named archive,
// sharing, read-only files, device names, names in the ANSI code page, links
// planted below the target and folders nested deeper than a path can reach.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

using test::ArchiveBytes;
using test::ArchiveFixture;
using test::ScratchFolder;

// Everything below a folder: relative path -> contents; folders end with '\'.
void ListTree(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& tree) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(Utf8ToUtf16(folder + relative + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf16ToUtf8(found.cFileName);
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      tree[relative + name + "\\"] = "";
      ListTree(folder, relative + name + "\\", tree);
    } else {
      tree[relative + name] = test::ReadFileBytes(folder + relative + name).value_or("<unreadable>");
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

std::map<std::string, std::string> TreeOf(const std::string& folder) {
  std::map<std::string, std::string> tree;
  ListTree(folder, "", tree);
  return tree;
}

std::uint8_t Extract(const std::string& archive, const std::string& target, const ExtractCallbacks& callbacks = {}) {
  return ExtractArchive({DiskFileSystem(), CodePage1250()}, archive, target, callbacks);
}

TEST(ArchiveOnDisk, EveryFixtureGivesItsTreeAndNothingElse) {
  for (const ArchiveFixture& fixture : test::ArchiveFixtures()) {
    SCOPED_TRACE(fixture.name);
    ScratchFolder scratch("archive " + fixture.name);
    const std::string archive = scratch / "WIZARD.zl";
    const std::string target = scratch / "Program Files\\Setup";
    ASSERT_TRUE(test::WriteFileBytes(archive, fixture.bytes));
    const bool damaged = fixture.outcome == ArchiveFixture::Outcome::Damaged;
    if (damaged) {
      EXPECT_THROW(Extract(archive, target), EZDecompressionError);
    } else {
      EXPECT_EQ(Extract(archive, target), fixture.result);
    }
    // The archive is closed on every way out.
    EXPECT_TRUE(::DeleteFileW(Utf8ToUtf16(archive).c_str()));

    std::map<std::string, std::string> everything = TreeOf(scratch.Path());
    everything.erase("Program Files\\");
    everything.erase("Program Files\\Setup\\");
    for (const auto& [path, contents] : everything) {
      ASSERT_TRUE(path.starts_with("Program Files\\Setup\\")) << "written outside the target: " << path;
      const std::string relative = path.substr(20);
      const auto expected = fixture.tree.find(relative);
      ASSERT_NE(expected, fixture.tree.end()) << "unexpected " << relative;
      if (!relative.ends_with("\\")) {
        EXPECT_TRUE(test::ContentsMatch(expected->second, contents, damaged)) << relative;
      }
    }
    for (const auto& [relative, contents] : fixture.tree) {
      EXPECT_EQ(everything.count("Program Files\\Setup\\" + relative), 1u) << "missing " << relative;
    }
  }
}

TEST(ArchiveOnDisk, AFolderOrAMissingFileIsNoArchive) {
  ScratchFolder scratch("archive missing");
  EXPECT_EQ(Extract(scratch / "WIZARD.zl", scratch / "out"), ArchiveNotFound);
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(scratch / "folder.zl").c_str(), nullptr));
  EXPECT_EQ(Extract(scratch / "folder.zl", scratch / "out"), ArchiveNotFound);
  EXPECT_FALSE(test::PathExists(scratch / "out"));
}

TEST(ArchiveOnDisk, AnArchiveThatAnotherProgramHoldsOpenCannotBeOpened) {
  ScratchFolder scratch("archive held");
  const std::string archive = scratch / "WIZARD.zl";
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).File("x", "1").Str()));
  {
    // Even a reader that lets others read: the extractor shares with nobody.
    UniqueFileHandle held(::CreateFileW(Utf8ToUtf16(archive).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    int calls = 0;
    ExtractCallbacks callbacks;
    callbacks.OnExtractStart = [&](Stream&, std::int32_t) { ++calls; };
    EXPECT_EQ(Extract(archive, scratch / "out", callbacks), ArchiveOpenError);
    EXPECT_EQ(calls, 0);
  }
  EXPECT_EQ(Extract(archive, scratch / "out"), ArchiveOk);
  EXPECT_EQ(test::ReadFileBytes(scratch / "out\\x"), "1");
}

TEST(ArchiveOnDisk, AFileInUseStopsWith4AndTheArchiveCanBeDeletedAtOnce) {
  ScratchFolder scratch("archive in use");
  const std::string archive = scratch / "WIZARD.zl";
  const std::string target = scratch / "out\\";
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(2).File("a", "new a").File("b", "new b").File("c", "c").Str()));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(target).c_str(), nullptr));
  ASSERT_TRUE(test::WriteFileBytes(target + "b", "old b"));
  {
    // A program from an earlier run still holds b open (as a running wizard would).
    UniqueFileHandle inUse(::CreateFileW(Utf8ToUtf16(target + "b").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    ASSERT_TRUE(inUse);
    EXPECT_EQ(Extract(archive, target), ArchiveWriteError);
    EXPECT_TRUE(::DeleteFileW(Utf8ToUtf16(archive).c_str()));
  }
  EXPECT_EQ(test::ReadFileBytes(target + "a"), "new a");
  EXPECT_EQ(test::ReadFileBytes(target + "b"), "old b");
  EXPECT_FALSE(test::PathExists(target + "c"));
}

TEST(ArchiveOnDisk, AnExistingFileIsReplaced) {
  ScratchFolder scratch("archive replace");
  const std::string archive = scratch / "WIZARD.zl";
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(scratch / "out").c_str(), nullptr));
  ASSERT_TRUE(test::WriteFileBytes(scratch / "out\\x", std::string(5000, 'o')));
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).File("x", "short").Str()));
  EXPECT_EQ(Extract(archive, scratch / "out"), ArchiveOk);
  EXPECT_EQ(test::ReadFileBytes(scratch / "out\\x"), "short");
}

TEST(ArchiveOnDisk, NamesInTheAnsiCodePageBecomeTheirCharacters) {
  // A name with a non-ASCII letter that the system's ANSI code page holds.
  std::string raw;
  std::wstring wide;
  for (const wchar_t* candidate : {L"Pr\u016Fvodce \u010Dt\u011Bte.txt", L"caf\u00E9.txt", L"\u00C4rger.txt"}) {
    char bytes[64] = {};
    BOOL substituted = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, candidate, -1, bytes, sizeof bytes,
                                             nullptr, &substituted);
    if (length > 1 && !substituted) {
      raw.assign(bytes, static_cast<std::size_t>(length - 1));
      wide = candidate;
      break;
    }
  }
  if (raw.empty()) GTEST_SKIP() << "the ANSI code page " << ::GetACP() << " holds none of the sample names";
  ScratchFolder scratch("archive ansi");
  const std::string archive = scratch / "WIZARD.zl";
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).Enter(raw).File(raw, "text").Leave().Str()));
  // The bootstrapper's own form: the disk and the system's ANSI code page.
  std::string relative;
  const TExtractFileEvent OnExtractFile = [&](Stream&, std::int32_t, const std::string&, const std::string& name) {
    relative = name;
  };
  EXPECT_EQ(ExtractArchive(archive, scratch / "out", nullptr, nullptr, nullptr, OnExtractFile), ArchiveOk);
  const std::string name = Utf16ToUtf8(wide);
  EXPECT_EQ(relative, name + "\\" + name);
  EXPECT_EQ(test::ReadFileBytes(scratch / "out\\" + name + "\\" + name), "text");
}

TEST(ArchiveOnDisk, DeviceNamesNeverReachTheSystem) {
  ScratchFolder scratch("archive devices");
  const std::string archive = scratch / "WIZARD.zl";
  for (const char* device : {"CON", "nul", "COM1.txt", "conout$"}) {
    ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).File(device, "to a device").Str()));
    EXPECT_EQ(Extract(archive, scratch / "out"), ArchiveWriteError) << device;
  }
  EXPECT_TRUE(TreeOf(scratch / "out\\").empty());
}

TEST(ArchiveOnDisk, AHardLinkBelowTheTargetLosesItsNameAndTheOtherFileKeepsItsBytes) {
  ScratchFolder scratch("archive hard link");
  const std::string archive = scratch / "WIZARD.zl";
  const std::string target = scratch / "out\\";
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(target).c_str(), nullptr));
  ASSERT_TRUE(test::WriteFileBytes(scratch / "outside", "outside"));
  ASSERT_TRUE(::CreateHardLinkW(Utf8ToUtf16(target + "x").c_str(), Utf8ToUtf16(scratch / "outside").c_str(), nullptr));
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).File("x", "from the archive").Str()));
  EXPECT_EQ(Extract(archive, target), ArchiveOk);
  EXPECT_EQ(test::ReadFileBytes(target + "x"), "from the archive");
  EXPECT_EQ(test::ReadFileBytes(scratch / "outside"), "outside");
}

TEST(ArchiveOnDisk, HostLinksBelowTheTargetAreRefusedAndWhatTheyLeadToStaysUntouched) {
  if (!test::RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  ScratchFolder scratch("archive host links");
  const std::string archive = scratch / "WIZARD.zl";
  const std::string target = scratch / "out\\";
  const std::string outside = scratch / "outside\\";
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(target).c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryW(Utf8ToUtf16(outside).c_str(), nullptr));
  ASSERT_TRUE(test::WriteFileBytes(outside + "secret", "outside"));
  ASSERT_TRUE(test::MakeHostSymlink(outside, target + "data"));
  ASSERT_TRUE(test::MakeHostSymlink(outside + "secret", target + "x"));

  // Windows cannot remove a host link without removing its target: the file
  // that would go through it is refused, and the extraction ends there.
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).Enter("data").File("secret", "archive").Leave().Str()));
  EXPECT_EQ(Extract(archive, target), ArchiveWriteError);
  ASSERT_TRUE(test::WriteFileBytes(archive, ArchiveBytes(1).File("x", "archive").Str()));
  EXPECT_EQ(Extract(archive, target), ArchiveWriteError);
  EXPECT_EQ(TreeOf(outside), (std::map<std::string, std::string>{{"secret", "outside"}}));
  EXPECT_TRUE(test::RemoveHostLink(target + "data"));
  EXPECT_TRUE(test::RemoveHostLink(target + "x"));
}

TEST(ArchiveOnDisk, NestingDeeperThanAPathEndsWith4AtThePathLimit) {
  ScratchFolder scratch("archive nesting");
  const std::string archive = scratch / "WIZARD.zl";
  const std::string target = scratch / "out\\";
  ArchiveBytes nested(1);
  for (int i = 0; i < 3000; ++i) nested.Enter("d");
  nested.File("bottom", "x");
  ASSERT_TRUE(test::WriteFileBytes(archive, nested.Str()));
  EXPECT_EQ(Extract(archive, target), ArchiveWriteError);
  // Every level that fits was made, and the next one was not.
  std::string deepest = target;
  while (test::PathExists(deepest + "d")) deepest += "d\\";
  EXPECT_LT(deepest.size(), std::size_t{MAX_PATH});
  EXPECT_GE(deepest.size() + 2, std::size_t{MAX_PATH});
}

}  // namespace
}  // namespace tolvar
