// zl32.exe under Windows: the same exit codes and trees as the native tool.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"

namespace tolvar::test {
namespace {

int RunZl32(const std::string& arguments) {
  const std::string zl32 = TestProgramFolder() + "zl32.exe";
  auto process = ChildProcess::Start(zl32, "\"" + zl32 + "\" " + arguments);
  if (!process) return -1;
  const auto code = process->Wait(60000);
  return code ? static_cast<int>(*code) : -1;
}

TEST(Zl32Exe, ExtractAndTestGiveTheDocumentedExitCodes) {
  ScratchFolder scratch("zl32 exe");
  const std::pair<const char*, int> cases[] = {
      {"czech_names_in_1250", 0}, {"not_an_archive", 3}, {"name_parent_step", 4}, {"truncated_member", 5}};
  for (const auto& [name, code] : cases) {
    const std::string archive = scratch / (std::string(name) + ".zl");
    const std::string target = scratch / (std::string(name) + " out");
    ASSERT_TRUE(WriteFileBytes(archive, FindArchiveFixture(name).bytes));
    EXPECT_EQ(RunZl32("extract \"" + archive + "\" \"" + target + "\""), code) << name;
    EXPECT_EQ(RunZl32("test \"" + archive + "\"") == 0, code == 0) << name;
  }
  EXPECT_EQ(ReadFileBytes(scratch / "czech_names_in_1250 out\\Průvodce\\čtěte.txt"), "text");
  EXPECT_EQ(RunZl32("extract \"" + scratch / "none.zl" + "\" \"" + scratch / "x" + "\""), 1);
  EXPECT_EQ(RunZl32("frobnicate"), 64);
}

TEST(Zl32Exe, PackedOnWindowsUnpacksToTheSameTree) {
  ScratchFolder scratch("zl32 exe pack");
  ASSERT_TRUE(ForceDirectories(scratch / "tree\\Průvodce"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\Průvodce\\čtěte.txt", "Čtěte"));
  ASSERT_TRUE(WriteFileBytes(scratch / "tree\\big.bin", std::string(200000, 'b')));
  ASSERT_EQ(RunZl32("pack \"" + scratch / "tree" + "\" -o \"" + scratch / "W.zl" + "\" --level 9"), 0);
  ASSERT_EQ(RunZl32("test \"" + scratch / "W.zl" + "\""), 0);
  ASSERT_EQ(RunZl32("extract \"" + scratch / "W.zl" + "\" \"" + scratch / "out" + "\""), 0);
  EXPECT_EQ(ReadFileBytes(scratch / "out\\Průvodce\\čtěte.txt"), "Čtěte");
  EXPECT_EQ(ReadFileBytes(scratch / "out\\big.bin"), std::string(200000, 'b'));
  // The archive inside the packed folder is refused, and none is left behind.
  EXPECT_EQ(RunZl32("pack \"" + scratch / "tree" + "\" -o \"" + scratch / "tree\\W.zl" + "\""), 6);
  EXPECT_FALSE(PathExists(scratch / "tree\\W.zl"));
}

}  // namespace
}  // namespace tolvar::test
