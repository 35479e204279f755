// Tolvar.exe as a user meets it: started from a medium, it creates the setup
// folder, starts the wizard with its exact command line, waits for it and ends.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kRunLimitMs = 60000;

// The processor time of the wait is measured from the host side (idle-wait.sh):
// under Wine, GetProcessTimes does not count the time spent in the Wine server.
TEST(StartupE2E, StartsTheWizardWithItsExactCommandLineAndWaitsForIt) {
  E2EMedium medium("e2e startup");
  ASSERT_TRUE(medium.PlaceWizard(1500, 0));
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);

  const auto runs = ReadWizardRuns(medium.WizardPath());
  ASSERT_EQ(runs.size(), 1u);
  // The program path is not quoted; the source folder is, with its backslash.
  EXPECT_EQ(runs[0].commandLine, medium.SetupFolder() + "setupostrel.exe \"" + medium.MediumFolder() + "\"");
  // The bootstrapper ended only after the wizard had.
  EXPECT_GE(tolvar->ExitTime(), runs[0].ended);
}

TEST(StartupE2E, CreatesTheSetupFolderAndReportsAWizardThatCannotStart) {
  E2EMedium medium("e2e no wizard");
  // The archive unpacks, but holds no wizard.
  const std::string tree = medium.TreeFolder("tree without wizard");
  ASSERT_TRUE(WriteFileBytes(tree + "readme.txt", "no wizard here"));
  ASSERT_TRUE(medium.PackArchive(tree));
  ASSERT_FALSE(DirectoryExists(medium.SetupFolder()));
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);

  const auto dialog = WaitForWindow(tolvar->Id(), [](HWND window) {
    return ShowsText(window, "Chyba p\xC5\x99i spou\xC5\xA1t\xC4\x9bn\xC3\xAD pr\xC5\xAFvodce instalac\xC3\xAD!");
  });
  ASSERT_TRUE(dialog) << "no launch-failure message appeared";
  TakeScreenshotIfWanted(*dialog, "startup-launch-failed");
  EXPECT_EQ(WindowText(*dialog), "Install");  // the application's title is the caption
  EXPECT_TRUE(DirectoryExists(medium.SetupFolder()));
  EXPECT_TRUE(tolvar->Running());  // the message waits for the user
  const auto buttons = ChildTexts(*dialog, "Button");
  ASSERT_EQ(buttons.size(), 1u);
  PressButton(FindButton(*dialog, buttons[0]));

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
}

TEST(StartupE2E, NeverStartsAProgramPlantedAtAPrefixOfTheUnquotedPath) {
  E2EMedium medium("e2e planted");
  ASSERT_TRUE(medium.PlaceWizard());
  // Where the search along the unquoted path's blanks would look first.
  const std::string pf = medium.ProgramFiles();
  const std::string planted[] = {
      medium.Root().substr(0, medium.Root().find(' ')) + ".exe",  // C:\tolvar-tests\e2e.exe
      medium.Root() + "Program.exe",
      pf + "\\VORLAK.exe",
      pf + "\\VORLAK SOFTWARE\\Common.exe",
  };
  // A planted copy records its runs beside itself: "<name>.log".
  const auto removePlanted = [&] {
    for (const auto& path : planted) {
      RemoveTree(path);
      RemoveTree(path.substr(0, path.size() - 4) + ".log");
    }
  };
  removePlanted();
  ASSERT_TRUE(ForceDirectories(pf + "\\VORLAK SOFTWARE"));
  for (const auto& path : planted) ASSERT_TRUE(E2EMedium::PlantWizardCopy(path)) << path;

  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  ASSERT_TRUE(tolvar->Wait(kRunLimitMs));
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
  for (const auto& path : planted) EXPECT_TRUE(ReadWizardRuns(path).empty()) << path << " was started";
  removePlanted();
}

TEST(StartupE2E, FromADriveRootTheQuotedSourceIsTheRootWithItsBackslash) {
  // T: is the test prefix's stand-in for a CD drive (see the Wine wrapper).
  E2EMedium medium("e2e drive root");
  ASSERT_TRUE(medium.PlaceWizard());
  ASSERT_TRUE(CopyFileTo(medium.MediumFolder() + "Tolvar.exe", "T:\\Tolvar.exe"));
  ASSERT_TRUE(CopyFileTo(medium.ArchivePath(), "T:\\WIZARD.zl"));
  auto tolvar = ChildProcess::Start("T:\\Tolvar.exe", "T:\\Tolvar.exe", medium.Root());
  ASSERT_TRUE(tolvar);
  const auto exitCode = tolvar->Wait(kRunLimitMs);
  RemoveTree("T:\\Tolvar.exe");
  RemoveTree("T:\\WIZARD.zl");
  ASSERT_TRUE(exitCode);
  const auto runs = ReadWizardRuns(medium.WizardPath());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, medium.SetupFolder() + "setupostrel.exe \"T:\\\"");
}

}  // namespace
}  // namespace tolvar::test
