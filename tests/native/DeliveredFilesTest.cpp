// The files an extraction delivers, on a real disk: each one held as it was
// written, and the extraction stopped when one changes between its writing and
// its hold.
#include "bootstrap/DeliveredFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "archive/ZLibCtrl.h"
#include "platform/PosixPath.h"
#include "tests/fixtures/ArchiveBytes.h"

namespace tolvar {
namespace {

using test::ArchiveBytes;

std::string ReadAll(Stream& stream) {
  std::string text(static_cast<std::size_t>(stream.Size()), '\0');
  text.resize(stream.Read(text.data(), text.size()));
  return text;
}

// The disk, with another user acting on each file in the moment between its
// closing and its hold.
class InterferedDisk final : public ArchiveFileSystem {
 public:
  InterferedDisk(std::string hostFolder, std::function<void(const std::string& hostFile)> interfere)
      : hostFolder_(std::move(hostFolder)), interfere_(std::move(interfere)) {}
  bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
  std::unique_ptr<Stream> OpenForReading(const std::string& path) override { return disk_.OpenForReading(path); }
  std::unique_ptr<ArchiveFolder> OpenTarget(const std::string& path) override { return disk_.OpenTarget(path); }
  std::unique_ptr<ArchiveFolder> EnterFolder(const ArchiveFolder& parent, const std::string& name) override {
    return disk_.EnterFolder(parent, name);
  }
  std::unique_ptr<Stream> CreateNewFile(const ArchiveFolder& folder, const std::string& name) override {
    return disk_.CreateNewFile(folder, name);
  }
  std::optional<HeldFile> HoldFile(const ArchiveFolder& folder, const std::string& name) override {
    interfere_(hostFolder_ + "/" + name);
    return disk_.HoldFile(folder, name);
  }
  bool PathFits(const std::string& path) override { return disk_.PathFits(path); }

 private:
  ArchiveFileSystem& disk_ = DiskFileSystem();
  std::string hostFolder_;
  std::function<void(const std::string&)> interfere_;
};

class DeliveredFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvar-delivered-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }

  std::uint8_t Extract(ArchiveFileSystem& files, const ArchiveBytes& archive) {
    std::ofstream(root_ + "/WIZARD.zl", std::ios::binary) << archive.Str();
    return ExtractArchive({files, CodePage1250()}, FromPosixPath(root_ + "/WIZARD.zl"), FromPosixPath(root_ + "/setup"),
                          {});
  }

  std::string root_;
};

TEST_F(DeliveredFilesTest, HoldsWhatWasWrittenAndTellsWhatLiesAtTheTop) {
  DeliveredFiles delivered(DiskFileSystem());
  const std::string wizard = test::PatternBytes(100000, 1);
  // Windows knows one file by any letter case: the one written last counts.
  ASSERT_EQ(Extract(delivered, ArchiveBytes(4)
                                   .File("readme", "x")
                                   .File("setupostrel.exe", "first")
                                   .Enter("sub")
                                   .File("setupostrel.exe", "a file of that name elsewhere")
                                   .Leave()
                                   .File("SetupOstrel.EXE", wizard)),
            ArchiveOk);
  const HeldFile* held = delivered.HeldAtTop("setupostrel.exe");
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(ReadAll(*held->contents), wizard);
  EXPECT_EQ(held->path, FromPosixPath(root_ + "/setup/SetupOstrel.EXE"));
  EXPECT_TRUE(delivered.DeliveredAtTop("README"));
  EXPECT_TRUE(delivered.DeliveredAtTop("sub"));
  EXPECT_FALSE(delivered.DeliveredAtTop("setupostrel.exe.manifest"));

  DeliveredFiles nothingAtTop(DiskFileSystem());
  ASSERT_EQ(Extract(nothingAtTop, ArchiveBytes(1).Enter("sub").File("setupostrel.exe", "elsewhere").Leave()), ArchiveOk);
  EXPECT_EQ(nothingAtTop.HeldAtTop("setupostrel.exe"), nullptr);
  EXPECT_FALSE(nothingAtTop.DeliveredAtTop("setupostrel.exe"));
}

TEST_F(DeliveredFilesTest, AFileChangedOrSwappedBeforeItIsHeldStopsTheExtraction) {
  const std::string setup = root_ + "/setup";
  const std::pair<const char*, std::function<void(const std::string&)>> interferences[] = {
      {"a byte added", [](const std::string& file) { std::ofstream(file, std::ios::binary | std::ios::app) << "!"; }},
      // The same bytes, but behind a link: never what the extraction wrote.
      {"a link to a copy put in its place",
       [&](const std::string& file) {
         std::rename(file.c_str(), (root_ + "/copy").c_str());
         EXPECT_EQ(symlink((root_ + "/copy").c_str(), file.c_str()), 0);
       }},
  };
  for (const auto& [what, interfere] : interferences) {
    SCOPED_TRACE(what);
    std::system(("rm -rf '" + setup + "'").c_str());
    InterferedDisk disk(setup, interfere);
    DeliveredFiles delivered(disk);
    EXPECT_EQ(Extract(delivered, ArchiveBytes(1).File("setupostrel.exe", "the vendor's wizard")), ArchiveWriteError);
    EXPECT_EQ(delivered.HeldAtTop("setupostrel.exe"), nullptr);
  }
}

}  // namespace
}  // namespace tolvar
