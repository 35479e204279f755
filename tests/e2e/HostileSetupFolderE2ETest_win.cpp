// Tolvar.exe in a setup folder that other local users have prepared: every
// folder below the vendor folder gives everyone full access, so links may be
// planted there and the wizard may be swapped while the bootstrapper waits. This
// test program plays the other user: a second Windows program beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/fixtures/ArchiveBytes.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Processes_win.h"
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

// What a local user tries on a file the run delivered; the attempts that succeeded.
std::vector<std::string> TamperWith(const std::string& file, const std::string& planted) {
  const std::string folder = ExtractFilePath(file);
  std::vector<std::string> succeeded;
  for (const auto& [what, done] : {std::pair{"rename it aside", Renames(file, folder + "aside.tmp")},
                                   std::pair{"move another file over it", Renames(planted, file)},
                                   std::pair{"delete it", ::DeleteFileW(Utf8ToUtf16(file).c_str()) != FALSE},
                                   std::pair{"write into it", OpensForWriting(file)}}) {
    if (done) succeeded.push_back(std::string(what) + ": " + file);
  }
  return succeeded;
}

// The names beside the wizard that steer how Windows loads it.
const char* const kLoaderNames[] = {"setupostrel.exe.local", "setupostrel.exe.manifest", "setupostrel.exe.config"};

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

TEST(HostileSetupFolderE2E, DeliveredFilesStayHeldUntilTheWizardEndsAndPlantedLoaderNamesAreGone) {
  E2EMedium medium("e2e delivered files");
  const std::string mayEnd = medium.Root() + "the wizard may end";
  const std::string tree = medium.TreeFolder("wizard tree");
  ASSERT_TRUE(E2EMedium::PlantWizardCopy(tree + "setupostrel.exe"));
  ASSERT_TRUE(ConfigureWizard(tree + "setupostrel.exe", 0, 0, mayEnd));
  ASSERT_TRUE(WriteFileBytes(tree + "helper.dll", "the vendor's helper"));
  ASSERT_TRUE(ForceDirectories(tree + "Data"));
  ASSERT_TRUE(WriteFileBytes(tree + "Data\\Návod.txt", "read me"));
  ASSERT_TRUE(medium.PackArchive(tree));
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                             "[CopyFiles]\r\nCount=1\r\nFrom1=%s\\DISK2\\B.DAT\r\nSrcDisk=2\r\n"));
  // Planted by another user before the run, as folder and as files.
  const std::string setup = medium.SetupFolder();
  ASSERT_TRUE(ForceDirectories(setup + "setupostrel.exe.local\\deeper"));
  ASSERT_TRUE(WriteFileBytes(setup + "setupostrel.exe.local\\x.dll", "planted"));
  ASSERT_TRUE(WriteFileBytes(setup + "setupostrel.exe.local\\deeper\\y.dll", "planted"));
  ASSERT_TRUE(WriteFileBytes(setup + "setupostrel.exe.manifest", "<planted/>"));
  ASSERT_TRUE(WriteFileBytes(setup + "setupostrel.exe.config", "<planted/>"));
  const std::string planted = medium.Root() + "planted.dll";
  const std::string helper = setup + "helper.dll";
  const std::string guide = setup + "Data\\Návod.txt";

  const auto tamper = [&](std::vector<std::string>& succeeded) {
    for (const std::string& file : {helper, guide, medium.WizardPath()}) {
      WriteFileBytes(planted, "someone else's");
      for (auto& what : TamperWith(file, planted)) succeeded.push_back(std::move(what));
    }
    if (Renames(setup + "Data", setup + "Data moved")) succeeded.push_back("rename the folder Data");
  };
  std::vector<std::string> atPrompt, whileWizardRuns, loaderNamesBesideWizard;
  bool wizardSeen = false;
  // The other user's program while the wizard runs; the wizard ends when told.
  std::thread other([&] {
    for (int i = 0; i < 1200 && !wizardSeen; ++i) {
      wizardSeen = !ProcessIdsNamed("setupostrel.exe").empty();
      if (!wizardSeen) ::Sleep(50);
    }
    if (wizardSeen) {
      tamper(whileWizardRuns);
      for (const char* name : kLoaderNames) {
        if (PathExists(setup + name)) loaderNamesBesideWizard.push_back(name);
      }
    }
    WriteFileBytes(mayEnd, "");
  });
  const auto messages = RunAnswering(medium, [&] {
    if (atPrompt.empty()) tamper(atPrompt);
    ForceDirectories(medium.MediumFolder() + "DISK2");
    WriteFileBytes(medium.MediumFolder() + "DISK2\\B.DAT", "b");
  });
  other.join();
  EXPECT_TRUE(Shows(messages, "Vložte disk 2"));
  EXPECT_FALSE(Shows(messages, kLaunchFailed));
  EXPECT_EQ(atPrompt, std::vector<std::string>{});
  ASSERT_TRUE(wizardSeen);
  EXPECT_EQ(whileWizardRuns, std::vector<std::string>{});
  EXPECT_EQ(loaderNamesBesideWizard, std::vector<std::string>{});
  for (const char* name : kLoaderNames) EXPECT_FALSE(PathExists(setup + name)) << name;
  EXPECT_EQ(ReadFileBytes(helper), "the vendor's helper");
  EXPECT_EQ(ReadFileBytes(guide), "read me");
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
  // Once the wizard has ended, the run holds nothing any more.
  EXPECT_TRUE(Renames(helper, setup + "aside.tmp"));
  EXPECT_TRUE(Renames(setup + "Data", setup + "Data moved"));
}

TEST(HostileSetupFolderE2E, LoaderNamesThatCannotBeRemovedSafelyStopTheLaunch) {
  if (!RunsUnderWine()) GTEST_SKIP() << "host links exist under Wine only";
  E2EMedium medium("e2e loader links");
  ASSERT_TRUE(medium.PlaceWizard());
  const std::string outside = medium.Root() + "outside\\";
  ASSERT_TRUE(ForceDirectories(outside));
  ASSERT_TRUE(WriteFileBytes(outside + "x.dll", "someone else's library"));
  const std::string setup = medium.SetupFolder();
  ASSERT_TRUE(ForceDirectories(setup));
  for (const auto& [name, target] : {std::pair{"setupostrel.exe.local", outside},
                                     std::pair{"setupostrel.exe.manifest", outside + "x.dll"}}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(MakeHostSymlink(target, setup + name));
    const auto messages = RunAnswering(medium);
    EXPECT_TRUE(Shows(messages, kLaunchFailed));
    EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty());
    EXPECT_EQ(ReadFileBytes(outside + "x.dll"), "someone else's library");
    EXPECT_TRUE(RemoveHostLink(setup + name));
  }
}

TEST(HostileSetupFolderE2E, AHeldFolderSwappedFromTheHostIsNotWrittenThrough) {
  if (!RunsUnderWine()) GTEST_SKIP() << "the host swaps folders under Wine only";
  E2EMedium medium("e2e swapped folder");
  const std::string wizard = ReadFileBytes(TestProgramFolder() + "testwizard.exe").value_or("");
  // Data is entered and held; its first file comes only after a long one in a
  // folder below it, which gives the other user time.
  const test::ArchiveBytes archive = test::ArchiveBytes(0)
                                         .Enter("Data")
                                         .Enter("Pad")
                                         .File("pad.bin", std::string(std::size_t{128} << 20, '\0'))
                                         .Leave()
                                         .File("x.dll", "the vendor's library")
                                         .Leave()
                                         .File("setupostrel.exe", wizard);
  ASSERT_TRUE(WriteFileBytes(medium.ArchivePath(), archive.Str()));
  const std::string outside = medium.Root() + "outside\\";
  ASSERT_TRUE(ForceDirectories(outside));
  const std::string data = medium.SetupFolder() + "Data";

  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  std::vector<std::string> messages;
  {
    DialogAnswerer robot([](const DialogAnswerer::Seen&) { return Answer::Back; }, tolvar->Id());
    bool caught = false;
    for (int i = 0; i < 60000 && !caught && tolvar->Running(); ++i) {
      if (PathExists(data + "\\Pad\\pad.bin")) {
        // Held still while the host turns the held folder into a link elsewhere.
        PausedProcess paused(tolvar->Id());
        ASSERT_TRUE(paused.Paused());
        ASSERT_FALSE(PathExists(data + "\\x.dll")) << "the long file was done before the run could be paused";
        ASSERT_TRUE(MoveOnHost(data, data + " moved"));
        ASSERT_TRUE(MakeHostSymlink(outside, data));
        caught = true;
      }
      ::Sleep(1);
    }
    ASSERT_TRUE(caught);
    EXPECT_TRUE(tolvar->Wait(kRunLimitMs));
    for (const auto& dialog : robot.SeenDialogs()) {
      for (const auto& text : dialog.texts) messages.push_back(text);
    }
  }
  EXPECT_TRUE(Shows(messages, kWriteError));
  EXPECT_FALSE(PathExists(outside + "x.dll"));
  EXPECT_FALSE(PathExists(medium.WizardPath()));
  EXPECT_TRUE(RemoveHostLink(data));
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
