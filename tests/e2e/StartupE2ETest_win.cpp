// Tolvar.exe as a user meets it: started from a medium, it creates the setup
// folder, starts the wizard with its exact command line, waits for it and ends.
#include <gtest/gtest.h>

#include "dialogs/MessageDialogForm_win.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/FileSystem.h"
#include "platform/Registry_win.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/RegistrySnapshot_win.h"
#include "tests/support/RobotInput_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kRunLimitMs = 60000;
constexpr char kLaunchFailed[] = "Chyba při spouštění průvodce instalací!";

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

// On 64-bit Windows the two registry views name different program-files folders:
// the setup folder lies below the one a 32-bit program sees, where it always was.
TEST(StartupE2E, TheSetupFolderLiesBelowTheProgramFilesFolderOfThe32BitView) {
  E2EMedium medium("e2e registry views");  // both views: its own program-files folder
  ASSERT_TRUE(medium.PlaceWizard());
  const std::string ownView = medium.Root() + "Program Files 64-bit";
  RegistryValueOverride sixtyFour(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", ownView, KEY_WOW64_64KEY);
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
  EXPECT_FALSE(PathExists(ownView));
}

// The ways a user answers the message: its one button, Enter, Esc, the close box.
struct Answer {
  const char* name;
  void (*give)(HWND dialog);
};

// An answer in failure messages: its name.
void PrintTo(const Answer& answer, std::ostream* out) { *out << answer.name; }

class LaunchFailure : public ::testing::TestWithParam<Answer> {
 protected:
  RegistryKeySnapshot settings_{HKEY_CURRENT_USER, kMessageDialogSetupKey};
};

TEST_P(LaunchFailure, CreatesTheSetupFolderAndReportsAWizardThatCannotStart) {
  E2EMedium medium("e2e no wizard");
  // The archive unpacks, but holds no wizard.
  const std::string tree = medium.TreeFolder("tree without wizard");
  ASSERT_TRUE(WriteFileBytes(tree + "readme.txt", "no wizard here"));
  ASSERT_TRUE(medium.PackArchive(tree));
  ASSERT_FALSE(DirectoryExists(medium.SetupFolder()));
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);

  const auto dialog = WaitForWindow(tolvar->Id(), [](HWND window) {
    return IsMessageDialog(window) && ShowsText(window, kLaunchFailed);
  });
  ASSERT_TRUE(dialog) << "no launch-failure message appeared";
  WaitUntilServed(*dialog);
  TakeScreenshotIfWanted(*dialog, std::string("startup-launch-failed-") + GetParam().name);
  EXPECT_EQ(WindowText(*dialog), "Install");  // the application's title is the caption
  EXPECT_EQ(WindowText(ControlOf(*dialog, kTitleControlId)), "Chyba");
  EXPECT_EQ(WindowText(ControlOf(*dialog, kMessageControlId)), kLaunchFailed);
  EXPECT_EQ(ChildTexts(*dialog, "Button"), std::vector<std::string>{"Zpět"});
  EXPECT_TRUE(DirectoryExists(medium.SetupFolder()));
  EXPECT_TRUE(tolvar->Running());  // the message waits for the user
  GetParam().give(*dialog);

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  // Closing the dialog saved its settings.
  EXPECT_EQ(ValueType(HKEY_CURRENT_USER, kMessageDialogSetupKey, "DetailMessageVisible"), DWORD{REG_DWORD});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LaunchFailure,
    ::testing::Values(Answer{"button", [](HWND d) { PressButton(FindButton(d, "Zpět")); }},
                      Answer{"enter", [](HWND d) { PressKey(d, VK_RETURN); }},
                      Answer{"esc", [](HWND d) { PressKey(d, VK_ESCAPE); }},
                      Answer{"closebox", [](HWND d) { PressCloseBox(d); }}),
    [](const ::testing::TestParamInfo<Answer>& answer) { return std::string(answer.param.name); });

TEST(StartupE2E, DamagedDialogSettingsNeitherStopTheMessageNorSurviveIt) {
  const RegistryKeySnapshot settings(HKEY_CURRENT_USER, kMessageDialogSetupKey);
  // Values of the wrong type, as a hand edit or another program may leave them.
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kMessageDialogSetupKey, "DetailMessageVisible", REG_SZ,
                            std::string("1\0", 2)));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kMessageDialogSetupKey, "ItemTreePanelHeight", REG_QWORD,
                            std::string(8, '\x7F')));
  E2EMedium medium("e2e damaged settings");
  const std::string tree = medium.TreeFolder("tree without wizard");
  ASSERT_TRUE(WriteFileBytes(tree + "readme.txt", "no wizard here"));
  ASSERT_TRUE(medium.PackArchive(tree));
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto dialog = WaitForWindow(tolvar->Id(), [](HWND window) { return ShowsText(window, kLaunchFailed); });
  ASSERT_TRUE(dialog) << "no launch-failure message appeared";
  EXPECT_EQ(ChildTexts(*dialog, "Button"), std::vector<std::string>{"Zpět"});
  PressButton(FindButton(*dialog, "Zpět"));
  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  // Read as missing, written back as integers with their defaults.
  const RegistryKey stored = RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey);
  EXPECT_EQ(stored.ReadDword("DetailMessageVisible"), 0u);
  EXPECT_EQ(stored.ReadDword("ItemTreePanelHeight"), 70u);
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
