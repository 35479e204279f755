// Held folders on a real POSIX file system, with real symbolic and hard links
// planted where the program writes.
#include "platform/HeldFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/PosixPath.h"

namespace tolvar {
namespace {

class HeldFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvar-held-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_EQ(mkdir((root_ + "/outside").c_str(), 0777), 0);
    ASSERT_EQ(mkdir((root_ + "/setup").c_str(), 0777), 0);
    Write("outside/secret", "outside");
    setup_ = HeldFolder::OpenTrusted(FromPosixPath(root_ + "/setup"));
    ASSERT_NE(setup_, nullptr);
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }

  std::string Host(const std::string& relative) const { return root_ + "/" + relative; }
  void Write(const std::string& relative, const std::string& text) const {
    std::ofstream(Host(relative), std::ios::binary) << text;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(Host(relative), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  struct stat Lstat(const std::string& relative) const {
    struct stat info {};
    EXPECT_EQ(lstat(Host(relative).c_str(), &info), 0) << relative;
    return info;
  }
  static void WriteAll(FileStream& stream, const std::string& text) {
    ASSERT_EQ(stream.Write(text.data(), text.size()), text.size());
  }

  std::string root_;
  std::unique_ptr<HeldFolder> setup_;
};

TEST_F(HeldFolderTest, ChildFoldersAreCreatedOrEnteredAndAFileIsNoFolder) {
  auto fresh = setup_->EnterChild("fresh");
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(S_ISDIR(Lstat("setup/fresh").st_mode));
  EXPECT_EQ(fresh->Path(), FromPosixPath(root_ + "/setup/fresh/"));
  EXPECT_NE(setup_->EnterChild("fresh"), nullptr);  // an existing folder is entered

  Write("setup/file", "data");
  EXPECT_EQ(setup_->EnterChild("file"), nullptr);
  EXPECT_EQ(Read("setup/file"), "data");
}

TEST_F(HeldFolderTest, AFolderLinkIsReplacedByARealFolderAndItsTargetKept) {
  ASSERT_EQ(symlink(Host("outside").c_str(), Host("setup/data").c_str()), 0);
  auto data = setup_->EnterChild("data");
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(S_ISDIR(Lstat("setup/data").st_mode));  // a real folder now, no link
  auto file = data->CreateNewFile("secret", ReadOnlyFile::Refuse);
  ASSERT_NE(file, nullptr);
  WriteAll(*file, "archive");
  EXPECT_EQ(Read("setup/data/secret"), "archive");
  EXPECT_EQ(Read("outside/secret"), "outside");
}

TEST_F(HeldFolderTest, WorkGoesOnInTheFolderThatWasCheckedWhenItsNameIsSwapped) {
  auto sub = setup_->EnterChild("sub");
  ASSERT_NE(sub, nullptr);
  // Another user moves the folder aside and puts a link to the outside in its place.
  ASSERT_EQ(rename(Host("setup/sub").c_str(), Host("setup/aside").c_str()), 0);
  ASSERT_EQ(symlink(Host("outside").c_str(), Host("setup/sub").c_str()), 0);
  auto file = sub->CreateNewFile("secret", ReadOnlyFile::Refuse);
  ASSERT_NE(file, nullptr);
  WriteAll(*file, "archive");
  EXPECT_EQ(Read("setup/aside/secret"), "archive");
  EXPECT_EQ(Read("outside/secret"), "outside");
}

TEST_F(HeldFolderTest, AnExistingNameIsRemovedNeverOpenedThrough) {
  Write("outside/hard", "hard target");
  ASSERT_EQ(symlink(Host("outside/secret").c_str(), Host("setup/symlinked").c_str()), 0);
  ASSERT_EQ(link(Host("outside/hard").c_str(), Host("setup/hardlinked").c_str()), 0);
  ASSERT_EQ(symlink(Host("outside/missing").c_str(), Host("setup/dangling").c_str()), 0);
  Write("setup/plain", "an older run's copy");

  for (const char* name : {"symlinked", "hardlinked", "dangling", "plain"}) {
    SCOPED_TRACE(name);
    auto file = setup_->CreateNewFile(name, ReadOnlyFile::Refuse);
    ASSERT_NE(file, nullptr);
    WriteAll(*file, std::string("new ") + name);
    const struct stat info = Lstat(std::string("setup/") + name);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_nlink, 1u);
    EXPECT_EQ(Read(std::string("setup/") + name), std::string("new ") + name);
  }
  EXPECT_EQ(Read("outside/secret"), "outside");
  EXPECT_EQ(Read("outside/hard"), "hard target");
  EXPECT_EQ(Lstat("outside/hard").st_nlink, 1u);
  EXPECT_EQ(access(Host("outside/missing").c_str(), F_OK), -1);  // the dangling link created nothing
}

TEST_F(HeldFolderTest, AFolderBearingAFileNameIsNotRemoved) {
  ASSERT_EQ(mkdir(Host("setup/taken").c_str(), 0777), 0);
  Write("setup/taken/inside", "kept");
  EXPECT_EQ(setup_->CreateNewFile("taken", ReadOnlyFile::Replace), nullptr);
  EXPECT_EQ(Read("setup/taken/inside"), "kept");
}

TEST_F(HeldFolderTest, OnlyAPlainFileWithOneNameIsHeld) {
  Write("setup/plain", "written");
  Write("outside/hard", "hard target");
  ASSERT_EQ(symlink(Host("outside/secret").c_str(), Host("setup/symlinked").c_str()), 0);
  ASSERT_EQ(link(Host("outside/hard").c_str(), Host("setup/hardlinked").c_str()), 0);
  ASSERT_EQ(mkfifo(Host("setup/fifo").c_str(), 0666), 0);  // would block an ordinary open
  ASSERT_EQ(mkdir(Host("setup/folder").c_str(), 0777), 0);

  auto held = setup_->HoldFile("plain");
  ASSERT_TRUE(held);
  std::string text(7, '\0');
  EXPECT_EQ(held->contents->Read(text.data(), text.size()), 7u);
  EXPECT_EQ(text, "written");
  EXPECT_EQ(held->path, FromPosixPath(root_ + "/setup/plain"));
  for (const char* name : {"symlinked", "hardlinked", "fifo", "folder", "missing"}) {
    EXPECT_FALSE(setup_->HoldFile(name)) << name;
  }
}

TEST_F(HeldFolderTest, RemovingANameTakesItsTreeApartAndNeverFollowsALink) {
  ASSERT_EQ(mkdir(Host("setup/tree").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(Host("setup/tree/deeper").c_str(), 0777), 0);
  Write("setup/tree/x.dll", "planted");
  Write("setup/tree/deeper/y.dll", "planted");
  ASSERT_EQ(symlink(Host("outside").c_str(), Host("setup/tree/deeper/to outside").c_str()), 0);
  ASSERT_EQ(symlink(Host("outside/secret").c_str(), Host("setup/file link").c_str()), 0);
  ASSERT_EQ(symlink(Host("outside/missing").c_str(), Host("setup/dangling").c_str()), 0);

  for (const char* name : {"tree", "file link", "dangling", "missing"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(setup_->HasName(name), std::string(name) != "missing");
    EXPECT_TRUE(setup_->RemoveName(name));
    EXPECT_FALSE(setup_->HasName(name));
  }
  EXPECT_EQ(Read("outside/secret"), "outside");
}

TEST_F(HeldFolderTest, AChainChecksEveryFolderBelowItsRootAndTrustsTheRoot) {
  // The root may be reached through a link (the user's own choice); below it
  // nothing is followed.
  ASSERT_EQ(symlink(Host("setup").c_str(), Host("root link").c_str()), 0);
  ASSERT_EQ(mkdir(Host("setup/a").c_str(), 0777), 0);
  ASSERT_EQ(symlink(Host("outside").c_str(), Host("setup/a/b").c_str()), 0);
  const std::string root = FromPosixPath(Host("root link"));
  auto chain = OpenFolderChain(root, root + "\\a\\b\\c\\");
  ASSERT_TRUE(chain);
  EXPECT_EQ(chain->size(), 4u);
  EXPECT_EQ(chain->Innermost().Path(), root + "\\a\\b\\c\\");
  EXPECT_TRUE(S_ISDIR(Lstat("setup/a/b").st_mode));
  EXPECT_TRUE(S_ISDIR(Lstat("setup/a/b/c").st_mode));
  EXPECT_EQ(access(Host("outside/c").c_str(), F_OK), -1);

  EXPECT_FALSE(OpenFolderChain(root, root + "\\a\\..\\..\\outside"));
  EXPECT_FALSE(OpenFolderChain(root, FromPosixPath(Host("outside"))));  // not below the root
  EXPECT_FALSE(OpenFolderChain(FromPosixPath(Host("missing")), FromPosixPath(Host("missing/x"))));
}

TEST(PathBelowTest, TheRelativePartOrNothing) {
  EXPECT_EQ(PathBelow("C:\\PF\\", "C:\\PF\\Vendor\\Setup\\"), "Vendor\\Setup");
  EXPECT_EQ(PathBelow("C:\\PF", "C:\\PF\\Vendor"), "Vendor");
  EXPECT_EQ(PathBelow("C:\\PF\\", "C:\\PF"), "");
  EXPECT_EQ(PathBelow("C:\\PF\\", "C:\\PFX\\Vendor"), std::nullopt);
  EXPECT_EQ(PathBelow("C:\\PF\\", "D:\\PF\\Vendor"), std::nullopt);
  // The empty root is the current folder: every relative path lies below it.
  EXPECT_EQ(PathBelow("", "Vendor\\Setup\\"), "Vendor\\Setup");
  EXPECT_EQ(PathBelow("", "C:\\Vendor"), std::nullopt);
  EXPECT_EQ(PathBelow("", "\\Vendor"), std::nullopt);
}

}  // namespace
}  // namespace tolvar
