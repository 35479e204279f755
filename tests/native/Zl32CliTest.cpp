// zl32 as its users run it: every named archive through `zl32 extract` and
// `zl32 test`, with the exit codes the README documents.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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
  void TearDown() override {
    if (mounted_) std::system(("umount '" + scratch_ + "/disk'").c_str());
    fs::remove_all(scratch_);
  }

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

  // Starts zl32 with the arguments, its output discarded; returns its process id.
  static pid_t Spawn(const std::vector<std::string>& arguments) {
    const pid_t child = fork();
    if (child == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      std::vector<char*> argv = {const_cast<char*>(TOLVAR_ZL32_PATH)};
      for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
      argv.push_back(nullptr);
      execv(TOLVAR_ZL32_PATH, argv.data());
      _exit(127);
    }
    return child;
  }

  std::string scratch_;
  bool mounted_ = false;  // a tmpfs at scratch_/disk
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
  EXPECT_NE(stderr_.find("/out/big: cannot be written in full: File too large"), std::string::npos) << stderr_;
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
  // What is there is kept unless replacing is asked for: every file is named and nothing is written.
  ASSERT_EQ(Run("extract '" + archive + "' '" + target + "'"), 4) << stderr_;
  for (const char* kept : {"/out/x: exists", "/out/y: exists", "/out/sub/file: exists", "3 files of the archive"}) {
    EXPECT_NE(stderr_.find(kept), std::string::npos) << kept << "\n" << stderr_;
  }
  EXPECT_TRUE(fs::is_symlink(target + "/x"));
  EXPECT_EQ(fs::hard_link_count(scratch_ + "/outside/file"), 2u);
  ASSERT_EQ(Run("extract --overwrite '" + archive + "' '" + target + "'"), 0) << stderr_;
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
  EXPECT_NE(stdout_.find("  data/\n"), std::string::npos) << stdout_;  // this system's separator
  EXPECT_NE(stdout_.find("           3"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("    a.txt\n"), std::string::npos) << stdout_;
  EXPECT_NE(stdout_.find("2 files, 1 folder, 70003 bytes"), std::string::npos) << stdout_;
}

TEST_F(Zl32Cli, PackNamesEveryRefusalOfATreeInOneRunAndKeepsTheOldArchive) {
  const fs::path tree = fs::path(scratch_) / "tree";
  fs::create_directories(tree / "sub");
  WriteFile(tree / "sub" / "CON", "device name");
  WriteFile(tree / "q?.txt", "forbidden character");
  WriteFile(tree / "Readme.txt", "1");
  WriteFile(tree / "README.TXT", "2");
  WriteFile(tree / "sub" / "Účet.txt", "3");
  WriteFile(tree / "sub" / "ÚČET.TXT", "4");
  WriteFile(tree / "a\x01" "b", "control character");
  fs::create_symlink("/etc/hostname", tree / "link");
  ASSERT_EQ(mkfifo((tree / "fifo").c_str(), 0600), 0);
  const std::string archive = scratch_ + "/WIZARD.zl";
  WriteFile(archive, "last week's archive");

  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + archive + "'"), 6);
  for (const std::string refused :
       {"/tree/sub/CON: the name \"CON\" is not a safe file or folder name: a name Windows keeps for a device",
        "/tree/q?.txt: ", "/tree/a\\x01b: the name \"a\\x01b\" is not a safe file or folder name: holds a control",
        "/tree/link: a symbolic link (links are not followed)", "/tree/fifo: a named pipe",
        "/tree/Readme.txt: Windows takes it for \"README.TXT\" of the same folder",
        "/tree/sub/Účet.txt: Windows takes it for \"ÚČET.TXT\" of the same folder", "(7 refusals)"}) {
    EXPECT_NE(stderr_.find(refused), std::string::npos) << refused << "\n" << stderr_;
  }
  EXPECT_EQ(ReadFile(archive), "last week's archive");
  // The tree, the archive and the run's two outputs: no temporary file.
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch_), fs::directory_iterator()), 4);

  EXPECT_EQ(Run("pack '" + (tree / "sub").string() + "' -o '" + archive + "'"), 6);
  for (const char* gone : {"CON", "Účet.txt", "ÚČET.TXT"}) fs::remove(tree / "sub" / gone);
  EXPECT_EQ(Run("pack '" + (tree / "sub").string() + "' -o '" + archive + "'"), 6);
  EXPECT_NE(stderr_.find("nothing to pack"), std::string::npos) << stderr_;
  EXPECT_EQ(Run("pack '" + scratch_ + "/none' -o '" + archive + "'"), 6);
  EXPECT_EQ(Run("pack '" + archive + "' -o '" + scratch_ + "/x.zl'"), 6);  // a file is no folder
  EXPECT_NE(stderr_.find("WIZARD.zl: not a folder"), std::string::npos) << stderr_;
  EXPECT_EQ(ReadFile(archive), "last week's archive");
}

// A pack that fails, is refused or is interrupted leaves what bore the archive's
// name as it was, and no file beside it that it could remove.
TEST_F(Zl32Cli, PackReplacesTheArchiveOnlyWhenTheNewOneIsComplete) {
  const fs::path tree = fs::path(scratch_) / "tree";
  fs::create_directories(tree);
  WriteFile(tree / "noise.bin", test::NoiseBytes(16 << 20));
  const std::string archive = scratch_ + "/keep.zl";
  const std::string before = "last week's archive";
  const auto partials = [&] {
    int count = 0;
    for (const auto& item : fs::directory_iterator(scratch_)) {
      count += item.path().filename().string().starts_with("keep.zl.partial-") ? 1 : 0;
    }
    return count;
  };

  // Interrupted mid-pack: stopped while the temporary file exists, then signalled.
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(signal);
    WriteFile(archive, before);
    const pid_t pack = Spawn({"pack", tree.string(), "-o", archive, "--level", "9"});
    while (partials() == 0) {
      ASSERT_EQ(waitpid(pack, nullptr, WNOHANG), 0) << "pack ended before it could be interrupted";
    }
    kill(pack, SIGSTOP);
    ASSERT_EQ(partials(), 1) << "pack ended before it could be interrupted";
    kill(pack, signal);
    kill(pack, SIGCONT);
    int status = 0;
    ASSERT_EQ(waitpid(pack, &status, 0), pack);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(ReadFile(archive), before);
    // A killed process cannot clean up: its file shows whose it is by its name.
    EXPECT_EQ(partials(), signal == SIGKILL ? 1 : 0);
  }
  for (const auto& item : fs::directory_iterator(scratch_)) {
    if (item.path().filename().string().starts_with("keep.zl.partial-")) fs::remove(item.path());
  }

  // Whatever bears the name and is no plain file is refused and left as it is.
  fs::create_directory(scratch_ + "/folder.zl");
  fs::create_symlink(archive, scratch_ + "/link.zl");
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(mknod((scratch_ + "/nulldev").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  for (const std::string output : {"folder.zl", "link.zl", "nulldev"}) {
    if (output == "nulldev" && !root) continue;
    EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + scratch_ + "/" + output + "'"), 4) << output;
    EXPECT_NE(stderr_.find(output + ": cannot be replaced: it is a"), std::string::npos) << stderr_;
    EXPECT_TRUE(fs::exists(fs::symlink_status(scratch_ + "/" + output))) << output;
  }
  EXPECT_TRUE(fs::is_symlink(scratch_ + "/link.zl"));
  EXPECT_EQ(ReadFile(archive), before);
  if (root) {
    EXPECT_TRUE(fs::is_character_file(scratch_ + "/nulldev"));
  }

  // A full disk: a small RAM file system (root only).
  const std::string disk = scratch_ + "/disk";
  fs::create_directory(disk);
  if (!root || std::system(("mount -t tmpfs -o size=4m tmpfs '" + disk + "' 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "the full-disk case needs root to mount a tmpfs";
  }
  mounted_ = true;
  WriteFile(disk + "/W.zl", before);
  EXPECT_EQ(Run("pack '" + tree.string() + "' -o '" + disk + "/W.zl'"), 4);
  EXPECT_NE(stderr_.find("W.zl: cannot be written: No space left on device"), std::string::npos) << stderr_;
  EXPECT_EQ(ReadFile(disk + "/W.zl"), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 1);
}

TEST_F(Zl32Cli, ExtractNeedsARealFolderAndSaysWhyItStops) {
  const std::string archive = scratch_ + "/WIZARD.zl";
  WriteFile(archive, test::ArchiveBytes(1).Enter("a").File("x\x01" "c", "1").Leave().Str());
  // An empty or root target is a mistake on the command line, found before the
  // archive is looked at (none is given here: a tool that took the root would
  // write nothing there).
  const std::string missing = scratch_ + "/missing.zl";
  EXPECT_EQ(Run("extract '" + missing + "' ''"), 64);
  EXPECT_NE(stderr_.find("the FOLDER is an empty path"), std::string::npos) << stderr_;
  EXPECT_EQ(Run("extract '" + missing + "' /"), 64);
  EXPECT_NE(stderr_.find("the root folder / is refused"), std::string::npos) << stderr_;
  EXPECT_EQ(Run("extract '" + missing + "' " + scratch_ + "/../../"), 64);
  // A refused name is shown with the escapes `list` uses, with its entry's place.
  EXPECT_EQ(Run("extract '" + archive + "' '" + scratch_ + "/out'"), 4);
  EXPECT_NE(stderr_.find("entry 2 \"a/x\\x01c\" (at offset 80): the name is not a safe"), std::string::npos) << stderr_;
  Run("list '" + archive + "'");
  EXPECT_NE(stdout_.find("    x\\x01c\n"), std::string::npos) << stdout_;

  // Damage names the member and where it lies; a huge name is cut.
  WriteFile(archive, test::FindArchiveFixture("truncated_member").bytes);
  EXPECT_EQ(Run("extract '" + archive + "' '" + scratch_ + "/out2'"), 5);
  EXPECT_NE(stderr_.find("damaged: entry 2 \"last\" (at offset 94): the archive ends inside its data (its data "
                         "starts at offset 139)"),
            std::string::npos)
      << stderr_;
  WriteFile(archive, test::ArchiveBytes(1).File(std::string(60000, 'a'), "1").CutLast(3).Str());
  EXPECT_EQ(Run("test '" + archive + "'"), 5);
  EXPECT_LT(stderr_.size(), 1000u) << stderr_;
  EXPECT_NE(stderr_.find(std::string(100, 'a') + "[... 59900 more bytes]\""), std::string::npos) << stderr_;
}

TEST_F(Zl32Cli, CommandLineMistakesExit64AndHelpExits0) {
  const std::pair<std::string, std::string> mistakes[] = {
      {"", "no command given"},
      {"unpack x", "unknown command unpack"},
      {"extract onlyone", "extract takes 2 paths"},
      {"pack folder", "pack needs -o ARCHIVE"},
      {"pack folder -o x --level 10", "the level must be a number from 0 to 9"},
      {"pack folder -o x --threads 0", "the number of threads must be 1 to 1024"},
      {"pack folder -o", "-o needs a value"},
      {"pack folder -o -", "not the standard output"},
      {"pack folder -o ''", "the name is empty"},
      {"list x --codepage 99999", "the code page must be a number"},
      {"list x --frobnicate", "unknown option --frobnicate"},
      {"list x -o y", "-o does not apply to list"},
      {"extract x y --level 9", "--level does not apply to extract"},
      {"extract x y --overwrite=yes", "--overwrite takes no value"},
      {"test -", "not the standard input or output"},
      {"--level 9 pack x -o y", "the command comes first"},
      {"test x --json", "--json does not apply to test"},
      {"check-medium m --disk 1=x", "disk 1 is the medium itself"},
      {"check-medium m --disk two=x", "--disk wants a disk number and its folder"},
      {"check-medium m --disk 2=", "--disk wants a disk number and its folder"},
      {"check-medium m --disk 2=a --disk 2=b", "disk 2 is given twice"},
  };
  for (const auto& [arguments, said] : mistakes) {
    EXPECT_EQ(Run(arguments), 64) << arguments;
    EXPECT_NE(stderr_.find(said), std::string::npos) << arguments << ": " << stderr_;
  }
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(stdout_.find("Exit codes:"), std::string::npos);
  EXPECT_NE(stdout_.find("--version"), std::string::npos);
  EXPECT_EQ(Run("pack --help"), 0);
  EXPECT_TRUE(
      stdout_.starts_with("Usage: zl32 pack FOLDER -o ARCHIVE [--level N] [--threads N] [--codepage N] [-q]\n"))
      << stdout_;
  EXPECT_EQ(stdout_.find("--overwrite"), std::string::npos) << stdout_;
  EXPECT_EQ(Run("extract x y -h"), 0);
  EXPECT_NE(stdout_.find("--overwrite"), std::string::npos) << stdout_;
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_TRUE(stdout_.starts_with("zl32 ") && stdout_.ends_with("\n") && stdout_.size() > 7) << stdout_;

  // "--" ends the options: a folder whose name starts with a dash (and -o with
  // its value attached); one of each, counted in words.
  fs::create_directories(scratch_ + "/-tree/sub");
  WriteFile(scratch_ + "/-tree/sub/x", "x");
  EXPECT_EQ(Run("pack -o'" + scratch_ + "/W.zl' -- -tree", "cd '" + scratch_ + "' && "), 0) << stderr_;
  EXPECT_NE(stdout_.find("1 file, 1 folder, 1 byte,"), std::string::npos) << stdout_;
}

// Progress bars only on a terminal (a pseudo-terminal made by script(1)), never
// in a file or a pipe, and never with -q, which leaves errors alone.
TEST_F(Zl32Cli, ProgressOnATerminalOnlyAndQuietRunsSayOnlyErrors) {
  const fs::path tree = fs::path(scratch_) / "tree";
  fs::create_directories(tree);
  WriteFile(tree / "noise.bin", test::NoiseBytes(1 << 20));
  const std::string archive = scratch_ + "/W.zl";
  // What a terminal showed of the command line run on it.
  const auto onTerminal = [&](const std::string& arguments, const std::string& redirection = {}) {
    const std::string line = std::string("script -qec \"'") + TOLVAR_ZL32_PATH + "' " + arguments + redirection +
                             "\" /dev/null >'" + scratch_ + "/terminal'";
    EXPECT_EQ(std::system(line.c_str()), 0) << arguments;
    return ReadFile(scratch_ + "/terminal");
  };
  const std::string commands[] = {"pack '" + tree.string() + "' -o '" + archive + "'", "test '" + archive + "'",
                                  "extract --overwrite '" + archive + "' '" + scratch_ + "/out'"};
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    EXPECT_NE(onTerminal(command).find("] 100%"), std::string::npos);
    EXPECT_EQ(onTerminal(command, " 2>'" + scratch_ + "/errors'").find('['), std::string::npos);
    EXPECT_EQ(ReadFile(scratch_ + "/errors"), "");
    EXPECT_EQ(onTerminal(command + " -q"), "");
    EXPECT_EQ(Run(command + " -q"), 0);
    EXPECT_EQ(stdout_ + stderr_, "");
  }
  EXPECT_EQ(Run("list -q '" + archive + "'"), 0);
  EXPECT_EQ(stdout_ + stderr_, "");
  EXPECT_EQ(Run("test -q '" + scratch_ + "/none.zl'"), 1);
  EXPECT_NE(stderr_.find("none.zl: no such archive file"), std::string::npos) << stderr_;
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
