// The copy step as a user meets it: Tolvar.exe on a medium whose tolvar.def
// lists a file of a second disk. The robot answers the disk prompt, and the
// files must be in the setup folder before the wizard starts, or, when the user
// declines, nothing is copied and nothing is started.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
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
const std::string kDiskTwoPrompt = "Vložte disk 2";

std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed) ^ (i >> 9));
  return bytes;
}

std::uint64_t LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(Utf8ToUtf16(path).c_str(), GetFileExInfoStandard, &data)) return UINT64_MAX;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A medium whose definition file copies DATA\A.DAT from disk 1 and B.DAT, as
// C.DAT, from a DISK2 folder that is not there yet.
struct TwoDiskMedium {
  explicit TwoDiskMedium(const std::string& label) : medium(label) {
    EXPECT_TRUE(medium.PlaceWizard());
    ForceDirectories(medium.MediumFolder() + "DATA");
    EXPECT_TRUE(WriteFileBytes(medium.MediumFolder() + "DATA\\A.DAT", first));
    EXPECT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                               "[CopyFiles]\r\nCount=0x2\r\nFrom1=%s\\DATA\\A.DAT\r\n"
                               "From2=%s\\DISK2\\B.DAT\r\nTo2=C.DAT\r\nSrcDisk=2\r\n"));
  }
  E2EMedium medium;
  std::string first = Pattern(70000, 1);
  std::string second = Pattern(300000, 2);

  std::optional<HWND> WaitForDiskPrompt(DWORD processId) const {
    return WaitForWindow(processId, [](HWND window) { return IsMessageDialog(window) && ShowsText(window, kDiskTwoPrompt); });
  }
};

TEST(CopyStepE2E, TheSecondDiskIsAskedForAndItsFileArrivesBeforeTheWizardStarts) {
  TwoDiskMedium disks("e2e copy step");
  E2EMedium& medium = disks.medium;
  // A read-only copy from an earlier run is replaced.
  const std::string oldCopy = medium.SetupFolder() + "C.DAT";
  ASSERT_TRUE(ForceDirectories(medium.SetupFolder()));
  ASSERT_TRUE(WriteFileBytes(oldCopy, "stale"));
  ASSERT_TRUE(::SetFileAttributesW(Utf8ToUtf16(oldCopy).c_str(), FILE_ATTRIBUTE_READONLY));

  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto prompt = disks.WaitForDiskPrompt(tolvar->Id());
  ASSERT_TRUE(prompt) << "no prompt for disk 2";
  TakeScreenshotIfWanted(*prompt, "copy-step-disk-prompt");
  // Nothing is copied while the list is being read, and nothing started.
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "A.DAT"));
  EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty());

  // The user inserts the disk and answers OK.
  ForceDirectories(medium.MediumFolder() + "DISK2");
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "DISK2\\B.DAT", disks.second));
  ASSERT_TRUE(PressAnswer(*prompt, Answer::Ok));

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "A.DAT"), disks.first);
  EXPECT_EQ(ReadFileBytes(oldCopy), disks.second);
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "B.DAT"));

  const auto runs = ReadWizardRuns(medium.WizardPath());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, medium.SetupFolder() + "setupostrel.exe \"" + medium.MediumFolder() + "\"");
  EXPECT_LE(LastWriteTime(medium.SetupFolder() + "A.DAT"), runs[0].started);
  EXPECT_LE(LastWriteTime(oldCopy), runs[0].started);
}

TEST(CopyStepE2E, SwappingDisksAtThePromptLosesNoEntry) {
  // tolvar.def is on disk 1 (with the program and the archive), both of its
  // files on disk 2; at the prompt the user takes disk 1 out and puts disk 2 in.
  E2EMedium medium("e2e disk swap");
  ASSERT_TRUE(medium.PlaceWizard());
  ASSERT_TRUE(WriteFileBytes(medium.MediumFolder() + "tolvar.def",
                             "[CopyFiles]\r\nCount=2\r\nFrom1=%s\\DATA\\A.DAT\r\nFrom2=%s\\DATA\\B.DAT\r\nSrcDisk=2\r\n"));
  const std::string diskTwo = medium.Root() + "Disk 2";
  ASSERT_TRUE(ForceDirectories(diskTwo + "\\DATA"));
  const std::string first = Pattern(70000, 3);
  const std::string second = Pattern(5000, 4);
  ASSERT_TRUE(WriteFileBytes(diskTwo + "\\DATA\\A.DAT", first));
  ASSERT_TRUE(WriteFileBytes(diskTwo + "\\DATA\\B.DAT", second));

  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto prompt = WaitForWindow(tolvar->Id(), [](HWND window) {
    return IsMessageDialog(window) && ShowsText(window, kDiskTwoPrompt);
  });
  ASSERT_TRUE(prompt) << "no prompt for disk 2";
  const std::string drive = ExcludeTrailingBackslash(medium.MediumFolder());
  ASSERT_TRUE(MoveOnHost(drive, medium.Root() + "Disk 1"));
  ASSERT_TRUE(MoveOnHost(diskTwo, drive));
  ASSERT_TRUE(PressAnswer(*prompt, Answer::Ok));

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "A.DAT"), first);
  EXPECT_EQ(ReadFileBytes(medium.SetupFolder() + "B.DAT"), second);
  EXPECT_EQ(ReadWizardRuns(medium.WizardPath()).size(), 1u);
}

TEST(CopyStepE2E, ASecondStartWhileTheFirstAsksForADiskStaysQuietAndBringsTheFirstToTheFront) {
  TwoDiskMedium disks("e2e second start");
  E2EMedium& medium = disks.medium;
  auto first = medium.StartTolvar();
  ASSERT_TRUE(first);
  const auto prompt = disks.WaitForDiskPrompt(first->Id());
  ASSERT_TRUE(prompt) << "no prompt for disk 2";
  const std::uint64_t unpacked = LastWriteTime(medium.WizardPath());

  // A window of another program has the front when the program is started again.
  const UniqueWindow other(::CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                             200, 100, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(other);
  ::SetForegroundWindow(other.get());
  ASSERT_EQ(::GetForegroundWindow(), other.get());

  auto second = medium.StartTolvar();
  ASSERT_TRUE(second);
  bool showedAWindow = false;
  for (const ULONGLONG start = ::GetTickCount64(); second->Running() && ::GetTickCount64() - start < kRunLimitMs;) {
    showedAWindow = showedAWindow || !TopLevelWindows(second->Id()).empty();
    ::Sleep(5);
  }
  const auto exitCode = second->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_FALSE(showedAWindow);
  EXPECT_EQ(::GetForegroundWindow(), *prompt);
  // It wrote nothing: the first run's wizard is as it unpacked it.
  EXPECT_EQ(LastWriteTime(medium.WizardPath()), unpacked);

  // The first run goes on as before: declined, it ends without a wizard.
  ASSERT_TRUE(PressAnswer(*prompt, Answer::Back));
  const auto firstExit = first->Wait(kRunLimitMs);
  ASSERT_TRUE(firstExit);
  EXPECT_EQ(*firstExit, 0u);
  EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty());
}

TEST(CopyStepE2E, DecliningTheDiskPromptCopiesAndStartsNothing) {
  TwoDiskMedium disks("e2e copy declined");
  E2EMedium& medium = disks.medium;
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto prompt = disks.WaitForDiskPrompt(tolvar->Id());
  ASSERT_TRUE(prompt) << "no prompt for disk 2";
  ASSERT_TRUE(PressAnswer(*prompt, Answer::Back));

  const auto exitCode = tolvar->Wait(kRunLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_TRUE(ReadWizardRuns(medium.WizardPath()).empty());
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "A.DAT"));
  EXPECT_FALSE(PathExists(medium.SetupFolder() + "C.DAT"));
}

}  // namespace
}  // namespace tolvar::test
