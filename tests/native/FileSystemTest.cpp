#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/PosixPath.h"

namespace tolvar {
namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvar-fs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = FromPosixPath(pattern);
  }
  void TearDown() override { std::system(("rm -rf '" + ToPosixPath(root_) + "'").c_str()); }
  std::string root_;
};

TEST_F(FileSystemTest, ForceDirectoriesCreatesEveryMissingParent) {
  const std::string deep = root_ + "\\a\\b\\c\\";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(root_ + "\\a\\b\\c"));
  // Again, with and without the trailing backslash: nothing to do, still true.
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(ForceDirectories(root_ + "\\a\\b\\c"));
  EXPECT_FALSE(ForceDirectories(""));
}

TEST_F(FileSystemTest, ForceDirectoriesFailsBelowAFile) {
  std::ofstream(ToPosixPath(root_ + "\\file")) << "x";
  EXPECT_TRUE(FileExists(root_ + "\\file"));
  EXPECT_FALSE(DirectoryExists(root_ + "\\file"));
  EXPECT_FALSE(ForceDirectories(root_ + "\\file\\sub"));
  EXPECT_FALSE(FileExists(root_));  // a folder is not a file
}

}  // namespace
}  // namespace tolvar
