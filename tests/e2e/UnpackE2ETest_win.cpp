// Tolvar.exe unpacking WIZARD.zl as a user meets it: the wizard tree arrives in
// the setup folder and the wizard starts; every failure reaches the user in
// Czech, in order, and nothing is launched after it.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/Utf.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support/Robot_win.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kRunLimitMs = 60000;
constexpr char kCopyFailed[] = "Chyba při kopírování průvodce instalací do systémového adresáře Windows!";

std::optional<HWND> WaitForMessage(const ChildProcess& tolvar, const std::string& text) {
  return WaitForWindow(tolvar.Id(), [&](HWND window) { return ShowsText(window, text); });
}

// The visible install progress window of the process, if there is one.
std::optional<HWND> ProgressWindow(const ChildProcess& tolvar) {
  for (const HWND window : TopLevelWindows(tolvar.Id())) {
    if (WindowText(window) == "Instalace Ledgero") return window;
  }
  return std::nullopt;
}

// What the process shows, for a failure message.
std::string DescribeWindows(const ChildProcess& tolvar) {
  std::string text = tolvar.Running() ? "running;" : "ended;";
  for (const HWND window : TopLevelWindows(tolvar.Id())) {
    text += " [" + WindowText(window) + ":";
    for (const HWND child : ChildWindows(window)) text += " \"" + WindowText(child) + "\"";
    text += "]";
  }
  return text;
}

// Every message of the start-up sequence is an error with the single button "Zpět".
void PressTheOnlyButton(HWND dialog) {
  EXPECT_EQ(WindowText(dialog), "Install");
  const auto buttons = ChildTexts(dialog, "Button");
  ASSERT_EQ(buttons, std::vector<std::string>{"Zpět"});
  PressButton(FindButton(dialog, buttons[0]));
}

// Runs Tolvar.exe on the medium and expects first `resultText` above the
// progress window (none: no progress window), then the generic failure, then
// the end without a wizard.
void ExpectUnpackFailure(const E2EMedium& medium, const std::string& resultText, bool withProgressWindow,
                         const std::string& screenshot, const std::function<void()>& whileShown = {}) {
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto first = WaitForMessage(*tolvar, resultText);
  ASSERT_TRUE(first) << "no message \"" << resultText << "\"; " << DescribeWindows(*tolvar);
  const auto progress = ProgressWindow(*tolvar);
  EXPECT_EQ(progress.has_value(), withProgressWindow);
  if (progress) {
    EXPECT_TRUE(ShowsText(*progress, "Připravuji ke spuštění průvodce instalací."));
    EXPECT_TRUE(ShowsText(*progress, "Čekejte prosím ..."));
  }
  TakeScreenshotIfWanted(nullptr, screenshot);
  if (whileShown) whileShown();
  PressTheOnlyButton(*first);

  const auto second = WaitForMessage(*tolvar, kCopyFailed);
  ASSERT_TRUE(second) << "no generic failure after \"" << resultText << "\"; " << DescribeWindows(*tolvar);
  EXPECT_FALSE(ProgressWindow(*tolvar)) << "the progress window outlived the unpack step";
  PressTheOnlyButton(*second);
  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty()) << "a wizard was started after a failed unpack";
}

TEST(UnpackE2E, UnpacksTheTreeThatZl32PackedAndStartsTheWizard) {
  E2EMedium medium("e2e unpack");
  ASSERT_TRUE(medium.PlaceWizard());
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);

  const std::string tree = medium.Root() + "wizard tree\\";
  const std::string setup = medium.SetupFolder();
  EXPECT_EQ(ReadFileBytes(setup + "setupostrel.exe"), ReadFileBytes(tree + "setupostrel.exe"));
  EXPECT_EQ(ReadFileBytes(setup + "Data\\Návod.txt"), "read me");
  EXPECT_EQ(ReadFileBytes(setup + "Data\\Obrázky\\logo.bmp"), std::string(100000, 'L'));
  EXPECT_TRUE(DirectoryExists(setup + "Empty folder"));
  const auto runs = ReadWizardRuns(medium.WizardPath());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, setup + "setupostrel.exe \"" + medium.MediumFolder() + "\"");
}

TEST(UnpackE2E, AMissingArchiveIsReportedThenTheCopyFailure) {
  E2EMedium medium("e2e missing archive");
  ExpectUnpackFailure(medium, "Archivní soubor nenalezen.", true, "unpack-archive-missing");
}

TEST(UnpackE2E, AForeignFileIsReportedAboveTheProgressWindow) {
  E2EMedium medium("e2e foreign archive");
  ASSERT_TRUE(WriteFileBytes(medium.ArchivePath(), FindArchiveFixture("signature_in_other_case").bytes));
  ExpectUnpackFailure(medium, "Zadaný soubor není archív formátu ZLib.", true, "unpack-bad-format");
}

TEST(UnpackE2E, AnUnsafeNameStopsWith4WritesNothingOutsideAndClosesTheArchive) {
  E2EMedium medium("e2e unsafe name");
  ASSERT_TRUE(WriteFileBytes(medium.ArchivePath(), FindArchiveFixture("name_with_backslash_climbing").bytes));
  ExpectUnpackFailure(medium, "Nastala chyba při ukládání souborů z archívu.", true, "unpack-write-error", [&] {
    // The extractor has returned: the archive is closed although the program runs on.
    EXPECT_TRUE(::DeleteFileW(Utf8ToUtf16(medium.ArchivePath()).c_str()));
  });
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "before"), "ok");
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "..\\escaped.txt"));
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "escaped.txt"));
}

TEST(UnpackE2E, ADamagedArchiveIsReportedInCzechWithoutTheProgressWindow) {
  E2EMedium medium("e2e damaged archive");
  ASSERT_TRUE(WriteFileBytes(medium.ArchivePath(), FindArchiveFixture("truncated_member").bytes));
  ExpectUnpackFailure(medium, "Archivní soubor je poškozen.", false, "unpack-damaged");
  // What was inflated before the damage stays.
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "first"), "ok");
}

TEST(UnpackE2E, AnArchiveCutBetweenTwoEntriesIsDamagedAndNoWizardStarts) {
  // The wizard tree as zl32.exe packed it, cut right before the entry of its last
  // file: every entry that is left is whole, the header counts the missing one.
  E2EMedium medium("e2e cut archive");
  const std::string tree = medium.TreeFolder("wizard tree");
  ASSERT_TRUE(E2EMedium::PlantWizardCopy(tree + "setupostrel.exe"));
  ASSERT_TRUE(WriteFileBytes(tree + "zz last.dat", std::string(50000, 'z')));
  ASSERT_TRUE(medium.PackArchive(tree));
  const auto whole = ReadFileBytes(medium.ArchivePath());
  ASSERT_TRUE(whole);
  const std::string lastEntry = std::string("\x0B\x00", 2) + "zz last.dat";
  const std::size_t cut = whole->rfind(lastEntry);
  ASSERT_NE(cut, std::string::npos);
  ASSERT_TRUE(WriteFileBytes(medium.ArchivePath(), whole->substr(0, cut)));
  ExpectUnpackFailure(medium, "Archivní soubor je poškozen.", false, "unpack-cut-archive");
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "zz last.dat"));
}

}  // namespace
}  // namespace tolvar::test
