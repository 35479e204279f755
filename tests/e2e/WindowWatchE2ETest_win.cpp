// The demo's window watcher: a run that nobody watches still leaves a picture of
// each window in the order they appeared, and a message does not keep it waiting.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar::test {
namespace {

TEST(WindowWatch, PicturesEveryWindowAndClosesTheMessagesOfARunThatFails) {
  E2EMedium medium("e2e window watch");  // no WIZARD.zl: two messages above and after the progress window
  const std::string pictures = medium.Root() + "pictures";
  ASSERT_TRUE(ForceDirectories(pictures));
  const std::string watcher = TestProgramFolder() + "windowwatch.exe";
  const std::string tolvar = medium.MediumFolder() + "Tolvar.exe";
  auto run = ChildProcess::Start(watcher, "windowwatch --close-messages \"" + pictures + "\" \"" + tolvar + "\"");
  ASSERT_TRUE(run);
  const auto exitCode = run->Wait(60000);
  ASSERT_TRUE(exitCode) << "the watcher did not end: a message was left open";
  EXPECT_EQ(*exitCode, 0u);  // the bootstrapper's own exit code

  for (const char* name : {"01-instalace-ledgero.bmp", "02-install.bmp", "03-install.bmp"}) {
    const auto picture = ReadFileBytes(pictures + "\\" + name);
    ASSERT_TRUE(picture) << name << " is missing";
    EXPECT_GT(picture->size(), 10000u) << name;
    EXPECT_EQ(picture->substr(0, 2), "BM") << name;
  }
  EXPECT_FALSE(PathExists(pictures + "\\04-install.bmp"));
  EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty());
}

}  // namespace
}  // namespace tolvar::test
