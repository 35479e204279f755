// zl32 as its users run it: every named archive through `zl32 extract` and
// `zl32 test`, with the exit codes the README documents.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/fixtures/ArchiveBytes.h"
#include "tools/zl32/Zl32Commands.h"
#include "tests/fixtures/ArchiveFixtures.h"

namespace tolvar {
namespace {

namespace fs = std::filesystem;
using test::ArchiveFixture;

class Zl32Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvar-zl32-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
  }
  void TearDown() override { fs::remove_all(scratch_); }

  // Runs zl32 with the arguments; returns its exit code, keeps its output.
  // `shellSetup` runs in the same shell first (limits, traps).
  int Run(const std::string& arguments, const std::string& shellSetup = {}) {
    const std::string command = shellSetup + std::string("'") + TOLVAR_ZL32_PATH + "' " + arguments + " >'" +
                                scratch_ + "/stdout' 2>'" + scratch_ + "/stderr'";
    const int status = std::system(command.c_str());
    stdout_ = ReadFile(scratch_ + "/stdout");
    stderr_ = ReadFile(scratch_ + "/stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::string scratch_;
  std::string stdout_;
  std::string stderr_;
};

TEST_F(Zl32Cli, ExtractGivesEveryFixtureItsTreeAndExitCodeAndTestAgrees) {
  for (const ArchiveFixture& fixture : test::ArchiveFixtures()) {
    SCOPED_TRACE(fixture.name);
    const fs::path folder = fs::path(scratch_) / fixture.name;
    const fs::path target = folder / "deep" / "target";
    fs::create_directories(folder);
    WriteFile(folder / "WIZARD.zl", fixture.bytes);
    const bool damaged = fixture.outcome == ArchiveFixture::Outcome::Damaged;

    const int code = Run("extract '" + (folder / "WIZARD.zl").string() + "' '" + target.string() + "'");
    EXPECT_EQ(code, damaged ? 5 : fixture.result) << stderr_;
    EXPECT_EQ(code == 0, stderr_.empty()) << stderr_;

    // Nothing beside the archive and the target's own path, nothing unexpected in it.
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
      const std::string relative = item.path().lexically_relative(target).string();
      if (item.path() == folder / "WIZARD.zl" || item.path() == folder / "deep" || item.path() == target) continue;
      ASSERT_FALSE(relative.starts_with("..")) << "written outside the target: " << item.path();
      std::string key = relative;
      for (char& c : key) c = c == '/' ? '\\' : c;
      if (item.is_directory()) key += "\\";
      EXPECT_EQ(fixture.tree.count(key), 1u) << "unexpected " << key;
    }
    for (const auto& [relative, contents] : fixture.tree) {
      std::string path = relative;
      for (char& c : path) c = c == '\\' ? '/' : c;
      if (relative.ends_with("\\")) {
        EXPECT_TRUE(fs::is_directory(target / path)) << relative;
      } else {
        ASSERT_TRUE(fs::is_regular_file(target / path)) << relative;
        EXPECT_TRUE(test::ContentsMatch(contents, ReadFile(target / path), damaged)) << relative;
      }
    }

    // What `test` accepts, extract unpacks completely.
    const int tested = Run("test '" + (folder / "WIZARD.zl").string() + "'");
    if (tested == 0) {
      EXPECT_EQ(code, 0);
    }
    if (code != 0) {
      EXPECT_NE(tested, 0);
    }
    if (fixture.result == 3) {
      EXPECT_EQ(tested, 3);
    }
  }
}

TEST_F(Zl32Cli, ArchivesThatCannotBeFoundOrOpened) {
  EXPECT_EQ(Run("extract '" + scratch_ + "/missing.zl' '" + scratch_ + "/out'"), 1);
  EXPECT_EQ(Run("test '" + scratch_ + "'"), 1);  // a folder is not an archive file
  // Another process holds the archive open: the extractor shares it with nobody.
  const std::string archive = scratch_ + "/locked.zl";
  WriteFile(archive, test::ArchiveBytes(0).File("a", "x").Str());
  const int held = open(archive.c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  EXPECT_EQ(Run("extract '" + archive + "' '" + scratch_ + "/out'"), 2);
  EXPECT_EQ(Run("list '" + archive + "'"), 2);
  EXPECT_FALSE(fs::exists(scratch_ + "/out"));
  close(held);
  EXPECT_EQ(Run("extract '" + archive + "' '" + scratch_ + "/out'"), 0);
}

TEST_F(Zl32Cli, AFullDiskEndsTheExtractionWith4) {
  const std::string target = scratch_ + "/out";
  fs::create_directories(target);
  const std::string archive = scratch_ + "/WIZARD.zl";
  WriteFile(archive, test::ArchiveBytes(4).File("big", test::PatternBytes(100000)).File("after", "x").Str());
  // Files may grow to 100 blocks of 512 bytes; a write beyond fails as on a full
  // disk (the signal that would end the process instead is ignored).
  EXPECT_EQ(Run("extract '" + archive + "' '" + target + "'", "trap '' XFSZ; ulimit -f 100; "), 4);
  EXPECT_NE(stderr_.find("cannot write all of"), std::string::npos) << stderr_;
  EXPECT_FALSE(fs::exists(target + "/after"));
}

TEST_F(Zl32Cli, LinksBelowTheTargetAreReplacedNeverWrittenThrough) {
  const std::string target = scratch_ + "/out";
  fs::create_directories(target);
  fs::create_directories(scratch_ + "/outside");
  WriteFile(scratch_ + "/outside/file", "outside");
  fs::create_symlink(scratch_ + "/outside/file", target + "/x");
  fs::create_hard_link(scratch_ + "/outside/file", target + "/y");
  fs::create_directory_symlink(scratch_ + "/outside", target + "/sub");
  const std::string archive = scratch_ + "/WIZARD.zl";
  WriteFile(archive, test::ArchiveBytes(3).File("x", "new x").File("y", "new y").Enter("sub").File("file", "new")
                         .Leave().Str());
  ASSERT_EQ(Run("extract '" + archive + "' '" + target + "'"), 0) << stderr_;
  EXPECT_EQ(ReadFile(scratch_ + "/outside/file"), "outside");
  EXPECT_EQ(fs::hard_link_count(scratch_ + "/outside/file"), 1u);
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch_ + "/outside"), fs::directory_iterator()), 1);
  EXPECT_FALSE(fs::is_symlink(target + "/x"));
  EXPECT_FALSE(fs::is_symlink(target + "/sub"));
  EXPECT_EQ(ReadFile(target + "/x"), "new x");
  EXPECT_EQ(ReadFile(target + "/y"), "new y");
  EXPECT_EQ(ReadFile(target + "/sub/file"), "new");
}

TEST_F(Zl32Cli, ListShowsTheTreeWithSizes) {
  const std::string archive = scratch_ + "/WIZARD.zl";
  WriteFile(archive, test::ArchiveBytes(3).File("setupostrel.exe", test::PatternBytes(70000)).Enter("data")
                         .File("a.txt", "abc").Leave().Str());
  ASSERT_EQ(Run("list '" + archive + "' --codepage 1250"), 0) << stderr_;
  EXPECT_NE(stdout_.find("progress total 3"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("       70000"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("  setupostrel.exe\n"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("  data\\\n"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("           3"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("    a.txt\n"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("2 files, 1 folders, 70003 bytes"), std::string::npos) << stdout_;
}

TEST_F(Zl32Cli, PackRefusesWhatAnArchiveCannotHoldAndLeavesNoArchive) {
  const fs::path tree = fs::path(scratch_) / "tree";
  fs::create_directories(tree / "sub");
  WriteFile(tree / "sub" / "CON", "device name");
  const std::string archive = scratch_ + "/WIZARD.zl";
  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + archive + "'"), 6);
  EXPECT_NE(stderr_.find("sub\\CON: the name \"CON\" is not a safe file or folder name"), std::string::npos)
      << stderr_;
  EXPECT_FALSE(fs::exists(archive));

  fs::remove(tree / "sub" / "CON");
  fs::create_symlink("/etc/hostname", tree / "link");
  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + archive + "'"), 6);
  EXPECT_NE(stderr_.find("links are not followed"), std::string::npos) << stderr_;

  fs::remove(tree / "link");
  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + archive + "'"), 0) << stderr_;  // only a folder
  EXPECT_EQ(Run("pack '" + (tree / "sub").string() + "' -o '" + archive + "'"), 6);  // nothing at all
  EXPECT_NE(stderr_.find("nothing to pack"), std::string::npos) << stderr_;
  EXPECT_EQ(Run("pack '" + scratch_ + "/none' -o '" + archive + "'"), 6);
  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + scratch_ + "/no/such/folder.zl'"), 4);
}

TEST_F(Zl32Cli, CommandLineMistakesExit64AndHelpExits0) {
  EXPECT_EQ(Run(""), 64);
  EXPECT_EQ(Run("unpack x"), 64);
  EXPECT_EQ(Run("extract onlyone"), 64);
  EXPECT_EQ(Run("pack folder"), 64);  // no -o
  EXPECT_EQ(Run("pack folder -o x --level 10"), 64);
  EXPECT_EQ(Run("pack folder -o x --threads 0"), 64);
  EXPECT_EQ(Run("list x --codepage 99999"), 64);
  EXPECT_EQ(Run("list x --frobnicate"), 64);
  EXPECT_NE(stderr_.find("unknown option --frobnicate"), std::string::npos);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(stdout_.find("Exit codes:"), std::string::npos);
  EXPECT_NE(stdout_.find("--version"), std::string::npos);
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_TRUE(stdout_.starts_with("zl32 ") && stdout_.ends_with("\n") && stdout_.size() > 7) << stdout_;
}

// What zl32.exe makes of the paths Windows users type (Windows takes '/' too).
TEST(Zl32WindowsArguments, SlashesBecomeBackslashesAndRunsOfSeparatorsCountOnce) {
  using zl32::FromWindowsArgument;
  EXPECT_EQ(FromWindowsArgument("out/new/deeper"), "out\\new\\deeper");
  EXPECT_EQ(FromWindowsArgument("C:/media//disk1\\/WIZARD.zl"), "C:\\media\\disk1\\WIZARD.zl");
  EXPECT_EQ(FromWindowsArgument("C:out/x"), "C:out\\x");
  EXPECT_EQ(FromWindowsArgument("/absolute/on/this/drive/"), "\\absolute\\on\\this\\drive\\");
  EXPECT_EQ(FromWindowsArgument("plain.zl"), "plain.zl");
  // The two separators that begin a network or device path stay two.
  EXPECT_EQ(FromWindowsArgument("//server/share//x"), "\\\\server\\share\\x");
  EXPECT_EQ(FromWindowsArgument("\\\\?\\C:\\x"), "\\\\?\\C:\\x");
  EXPECT_EQ(FromWindowsArgument("\\\\\\x"), "\\\\x");
}

}  // namespace
}  // namespace tolvar
