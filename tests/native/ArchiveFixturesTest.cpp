// Every named archive, well-formed and hostile, through the extractor on memory.
#include <gtest/gtest.h>

#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/MemoryFileSystem.h"

namespace tolvar {
namespace {

using test::ArchiveFixture;

class ArchiveFixtureTest : public ::testing::TestWithParam<ArchiveFixture> {};

TEST_P(ArchiveFixtureTest, ExtractsToExactlyTheExpectedTree) {
  const ArchiveFixture& fixture = GetParam();
  const std::string target = "C:\\Program Files\\Setup\\";
  MemoryFileSystem files;
  files.AddFile("D:\\WIZARD.zl", {fixture.bytes.begin(), fixture.bytes.end()});
  const std::size_t createdBefore = files.CreatedPaths().size();

  const bool damaged = fixture.outcome == ArchiveFixture::Outcome::Damaged;
  if (damaged) {
    EXPECT_THROW(ExtractArchive({files, CodePage1250()}, "D:\\WIZARD.zl", target, {}), EZDecompressionError);
  } else {
    EXPECT_EQ(ExtractArchive({files, CodePage1250()}, "D:\\WIZARD.zl", target, {}), fixture.result);
  }
  EXPECT_EQ(files.OpenStreams(), 0);

  // Nothing is ever created outside the target folder.
  const auto& created = files.CreatedPaths();
  for (std::size_t i = createdBefore; i < created.size(); ++i) {
    const std::string& path = created[i];
    if (target.starts_with(path)) continue;  // the target folder and its parents
    ASSERT_TRUE(path.starts_with(target)) << path;
    EXPECT_TRUE(fixture.tree.count(path.substr(target.size())) != 0) << "unexpected " << path;
  }
  // Everything expected is there, with its contents.
  for (const auto& [relative, contents] : fixture.tree) {
    if (relative.ends_with("\\")) {
      EXPECT_TRUE(files.FolderExists(target + relative)) << relative;
      continue;
    }
    const auto bytes = files.FileBytes(target + relative);
    ASSERT_TRUE(bytes) << relative;
    EXPECT_TRUE(test::ContentsMatch(contents, std::string(bytes->begin(), bytes->end()), damaged)) << relative;
  }
}

INSTANTIATE_TEST_SUITE_P(Named, ArchiveFixtureTest, ::testing::ValuesIn(test::ArchiveFixtures()),
                         [](const auto& parameter) { return parameter.param.name; });

}  // namespace
}  // namespace tolvar
