#include "bootstrap/WizardWatch.h"

#include <gtest/gtest.h>

#include "archive/ZLibCtrl.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/support/MemoryFileSystem.h"

namespace tolvar {
namespace {

using test::ArchiveBytes;

Sha256Digest DigestOf(const std::string& text) {
  Sha256 sha;
  sha.Update(text.data(), text.size());
  return sha.Finish();
}

std::optional<Sha256Digest> WatchExtraction(const ArchiveBytes& archive) {
  MemoryFileSystem files;
  files.AddFile("D:\\WIZARD.zl", archive.Bytes());
  WizardWatch watch(files, "setupostrel.exe");
  EXPECT_EQ(ExtractArchive({watch, CodePage1250()}, "D:\\WIZARD.zl", "C:\\Setup", {}), ArchiveOk);
  return watch.Digest();
}

TEST(WizardWatchTest, KeepsTheDigestOfTheWizardLastWrittenAtTheTop) {
  const std::string wizard = test::PatternBytes(100000, 1);
  EXPECT_EQ(WatchExtraction(ArchiveBytes(4).File("readme", "x").File("setupostrel.exe", wizard)), DigestOf(wizard));
  // Windows knows one file by any letter case; the last one written counts.
  EXPECT_EQ(WatchExtraction(ArchiveBytes(4).File("setupostrel.exe", "first").File("SetupOstrel.EXE", wizard)),
            DigestOf(wizard));
}

TEST(WizardWatchTest, NoWizardAtTheTopMeansNoDigest) {
  EXPECT_EQ(WatchExtraction(ArchiveBytes(1).File("readme", "x")), std::nullopt);
  // A file of that name in a subfolder is not the wizard that is started.
  EXPECT_EQ(WatchExtraction(ArchiveBytes(1).Enter("sub").File("setupostrel.exe", "elsewhere").Leave()),
            std::nullopt);
}

}  // namespace
}  // namespace tolvar
