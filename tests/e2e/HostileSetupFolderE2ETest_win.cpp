// Tolvar.exe in a setup folder that other local users have prepared: every
// folder below the vendor folder gives everyone full access, so links may be
// planted there and the wizard may be swapped while the bootstrapper waits. This
// test program plays the other user: a second Windows program beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "platform/FileSystem.h"
#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"
#include "tests/win32/MessageAnswer_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kRunLimitMs = 60000;
const std::string kWriteError = "Nastala chyba při ukládání souborů z archívu.";
const std::string kLaunchFailed = "Chyba při spouštění průvodce instalací!";
const std::string kCopyFailed = "Chyba při kopírování průvodce instalací do systémového adresáře Windows!";

bool Renames(const std::string& from, const std::string& to) {
  return ::MoveFileExW(Utf8ToUtf16(ExcludeTrailingBackslash(from)).c_str(),
                       Utf8ToUtf16(ExcludeTrailingBackslash(to)).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool OpensForWriting(const std::string& path) {
  return static_cast<bool>(UniqueFileHandle(
      ::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING, 0, nullptr)));
}

// Runs Tolvar.exe to its end, answering every message with its only button (OK
// for the disk prompt, after `atPrompt`); the texts of the messages, in order.
std::vector<std::string> RunAnswering(const E2EMedium& medium, const std::function<void()>& atPrompt = {}) {
  auto tolvar = medium.StartTolvar();
  EXPECT_TRUE(tolvar);
  if (!tolvar) return {};
  std::vector<std::string> seen;
  {
    DialogAnswerer robot(
        [&](const DialogAnswerer::Seen& dialog) {
          if (dialog.Shows("Vložte disk 2")) {
            if (atPrompt) atPrompt();
            return Answer::Ok;
          }
          // The copy's messages close with "&Zavřít", the start-up's with "Zpět".
          const auto& buttons = dialog.buttons;
          return std::find(buttons.begin(), buttons.end(), "&Zavřít") != buttons.end() ? Answer::Close : Answer::Back;
        },
        tolvar->Id());
    EXPECT_TRUE(tolvar->Wait(kRunLimitMs));
    for (const auto& dialog : robot.SeenDialogs()) {
      for (const auto& text : dialog.texts) {
        if (!text.empty()) seen.push_back(text);
      }
    }
  }
  return seen;
}

bool Shows(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(HostileSetupFolderE2E, TheWizardCannotBeSwappedWhileTheDiskPromptWaits) {
  E2EMedium medium("e2e swap wizard");
  ASSERT_TRUE(medium.PlaceWizard());
  const std::string packed = ReadFileBytes(medium.Root() + "wizard tree\\setupostrel.exe").value_or("");
  ForceDirectories(medium.MediumFolder() + "DATA");
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "DATA\\A.DAT", "a"));
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                             "[CopyFiles]\r\nCount=1\r\nFrom1=%s\\DISK2\\B.DAT\r\nSrcDisk=2\r\n"));
  const std::string wizard = medium.WizardPath();
  const std::string planted = medium.SetupFolder() + "planted.exe";
  const std::string ostrel = medium.ProgramFiles() + "\\VORLAK SOFTWARE\\Common Files\\Ostrel\\";

  std::atomic<int> prompts{0};
  std::vector<std::pair<const char*, bool>> attempts;
  const auto messages = RunAnswering(medium, [&] {
    if (++prompts > 1) return;
    // The other user's program, while the bootstrapper waits for the disk.
    E2EMedium::PlantWizardCopy(planted);
    attempts = {{"rename the wizard aside", Renames(wizard, medium.SetupFolder() + "aside.exe")},
                {"move a program over it", Renames(planted, wizard)},
                {"delete it", ::DeleteFileW(Utf8ToUtf16(wizard).c_str()) != FALSE},
                {"write into it", OpensForWriting(wizard)},
                {"rename the setup folder", Renames(medium.SetupFolder(), ostrel + "Moved")},
                {"rename a folder above it", Renames(ostrel, medium.ProgramFiles() + "\\Moved")}};
    ForceDirectories(medium.MediumFolder() + "DISK2");
    WriteFileBytes(medium.MediumFolder() + "DISK2\\B.DAT", "b");
  });
  ASSERT_EQ(prompts, 1);
  ASSERT_FALSE(attempts.empty());
  for (const auto& [what, succeeded] : attempts) EXPECT_FALSE(succeeded) << what;
  EXPECT_TRUE(Shows(messages, "Vložte disk 2"));
  EXPECT_FALSE(Shows(messages, kLaunchFailed));

  EXPECT_TRUE(ReadFileBytes(wizard) == packed) << "the wizard's bytes changed";
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "B.DAT"), "b");
  const auto runs = ReadWizardRuns(wizard);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, medium.SetupFolder() + "setupostrel.exe \"" + medium.MediumFolder() + "\"");
  EXPECT_TRUE(ReadWizardRuns(planted).empty());
  // Once the wizard runs, the bootstrapper holds nothing any more.
  EXPECT_TRUE(Renames(medium.SetupFolder(), ostrel + "Moved"));
}

TEST(HostileSetupFolderE2E, AnOtherNameOfAFileOutsideIsReplacedAndTheFileKeepsItsBytes) {
  E2EMedium medium("e2e hard link");
  ASSERT_TRUE(medium.PlaceWizard());
  const std::string outside = medium.Root() + "outside.exe";
  ASSERT_TRUE(WriteFileBytes(outside, "a program of someone else"));
  ASSERT_TRUE(ForceDirectories(medium.SetupFolder()));
  ASSERT_TRUE(::CreateHardLinkW(Utf8ToUtf16(medium.WizardPath()).c_str(), Utf8ToUtf16(outside).c_str(), nullptr));

  EXPECT_TRUE(RunAnswering(medium).empty());
  EXPECT_EQ(ReadFileBytes(outside), "a program of someone else");
  EXPECT_TRUE(ReadFileBytes(medium.WizardPath()) == ReadFileBytes(medium.Root() + "wizard tree\\setupostrel.exe"));
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
}

TEST(HostileSetupFolderE2E, HostLinksBelowTheVendorFolderAreRefusedAndNothingOutsideChanges) {
  if (!RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  struct Plant {
    const char* name;
    std::string link;  // below the program-files folder
    bool folder;
  };
  E2EMedium medium("e2e host links");
  ASSERT_TRUE(medium.PlaceWizard());
  const std::string vendor = medium.ProgramFiles() + "\\VORLAK SOFTWARE\\";
  const std::string outside = medium.Root() + "outside\\";
  ASSERT_TRUE(ForceDirectories(outside));
  ASSERT_TRUE(WriteFileBytes(outside + "setupostrel.exe", "someone else's program"));
  for (const Plant& plant : {Plant{"a folder on the way", vendor + "Common Files\\Ostrel", true},
                             Plant{"a folder of the archive", medium.SetupFolder() + "Data", true},
                             Plant{"the wizard itself", medium.WizardPath(), false}}) {
    SCOPED_TRACE(plant.name);
    RemoveTree(vendor);
    ASSERT_TRUE(ForceDirectories(ExtractFilePath(plant.link)));
    ASSERT_TRUE(MakeHostSymlink(plant.folder ? outside : outside + "setupostrel.exe", plant.link));

    const auto messages = RunAnswering(medium);
    EXPECT_TRUE(Shows(messages, kWriteError));
    EXPECT_TRUE(Shows(messages, kCopyFailed));
    EXPECT_EQ(ReadFileBytes(outside + "setupostrel.exe"), "someone else's program");
    EXPECT_FALSE(PathExists(outside + "Setup"));
    EXPECT_FALSE(PathExists(outside + "Data"));
    EXPECT_FALSE(PathExists(outside + "Návod.txt"));
    EXPECT_TRUE(ReadWizardRuns(outside + "setupostrel.exe").empty());
    EXPECT_TRUE(RemoveHostLink(plant.link));
  }
}

TEST(HostileSetupFolderE2E, TheCopyStepCannotReplaceTheHeldWizard) {
  E2EMedium medium("e2e copy over wizard");
  ASSERT_TRUE(medium.PlaceWizard());
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "OTHER.EXE", "not the unpacked wizard"));
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                             "[CopyFiles]\r\nCount=1\r\nFrom1=%s\\OTHER.EXE\r\nTo1=SETUPOSTREL.EXE\r\n"));
  const auto messages = RunAnswering(medium);
  EXPECT_TRUE(Shows(messages, "I/O chyba, soubor " + medium.SetupFolder() + "SETUPOSTREL.EXE nelze otevřít"));
  EXPECT_FALSE(Shows(messages, kLaunchFailed));
  EXPECT_TRUE(ReadFileBytes(medium.WizardPath()) == ReadFileBytes(medium.Root() + "wizard tree\\setupostrel.exe"));
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
}

TEST(HostileSetupFolderE2E, ACopyTargetThatClimbsLandsInTheSetupFolder) {
  E2EMedium medium("e2e climbing target");
  ASSERT_TRUE(medium.PlaceWizard());
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "A.DAT", "a"));
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                             "[CopyFiles]\r\nCount=1\r\nFrom1=%s\\A.DAT\r\nTo1=../../../../../escaped.dat\r\n"));
  EXPECT_TRUE(RunAnswering(medium).empty());
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "escaped.dat"), "a");
  // Nowhere on the way up: five folders up from the setup folder lies the scratch root.
  std::string folder = medium.SetupFolder();
  for (int up = 0; up < 6 && folder.size() > 3; ++up) {
    folder = ExtractFilePath(ExcludeTrailingBackslash(folder));
    EXPECT_FALSE(PathExists(folder + "escaped.dat")) << folder;
  }
  EXPECT_FALSE(PathExists("C:\\escaped.dat"));
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
}

}  // namespace
}  // namespace tolvar::test
