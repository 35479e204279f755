#include <gtest/gtest.h>

#include "bootstrap/ProcessLaunch_win.h"
#include "platform/Application_win.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "platform/Window_win.h"
#include "tests/support/HostCpu_win.h"
#include "tests/support/RunProcess_win.h"
#include "tests/support/Scratch_win.h"
#include "tests/support/WizardLog_win.h"

namespace tolvar {
namespace {

using test::ConfigureWizard;
using test::ReadWizardRuns;
using test::RunProcess;
using test::RunProgram;
using test::ScratchFolder;

// The test wizard copied into a scratch folder whose path has blanks.
class RunProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wizard_ = folder_ / "Wizard Dir\\setupostrel.exe";
    ASSERT_TRUE(::CreateDirectoryA((folder_ / "Wizard Dir").c_str(), nullptr));
    ASSERT_TRUE(test::CopyFileTo(test::TestProgramFolder() + "testwizard.exe", wizard_));
  }
  std::string Quoted() const { return "\"" + wizard_ + "\" \"arg one\""; }

  bool WaitForRuns(std::size_t count, DWORD timeoutMs = 15000) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (ReadWizardRuns(wizard_).size() < count) {
      if (::GetTickCount64() > deadline) return false;
      ::Sleep(50);
    }
    return true;
  }

  ScratchFolder folder_{"run process"};
  std::string wizard_;
};

TEST_F(RunProcessTest, WaitZeroReturnsAtOnce) {
  ConfigureWizard(wizard_, 1500, 0);
  EXPECT_NE(RunProcess(Quoted(), 0), 0u);
  // The wizard writes its record when it ends; it cannot have ended yet.
  EXPECT_TRUE(ReadWizardRuns(wizard_).empty());
  ASSERT_TRUE(WaitForRuns(1));
  EXPECT_EQ(ReadWizardRuns(wizard_)[0].commandLine, Quoted());
}

TEST_F(RunProcessTest, WaitMinusOneReturnsOnlyAfterTheProcessEnded) {
  ConfigureWizard(wizard_, 700, 3);
  EXPECT_NE(RunProcess(Quoted(), -1), 0u);
  EXPECT_EQ(ReadWizardRuns(wizard_).size(), 1u);
}

TEST_F(RunProcessTest, ALimitedWaitReturnsWhileTheProcessStillRuns) {
  ConfigureWizard(wizard_, 3000, 0);
  EXPECT_NE(RunProcess(Quoted(), 1000), 0u);
  EXPECT_TRUE(ReadWizardRuns(wizard_).empty());  // no record: it has not ended
  ASSERT_TRUE(WaitForRuns(1));  // it keeps running and ends by itself
}

TEST_F(RunProcessTest, ALimitedWaitWaitsForAProcessThatEndsWithinTheLimit) {
  // The wizard writes its record as it ends: a wait that returned at once would
  // find none yet, as WaitZeroReturnsAtOnce does.
  ConfigureWizard(wizard_, 500, 0);
  EXPECT_NE(RunProcess(Quoted(), 60000), 0u);
  EXPECT_EQ(ReadWizardRuns(wizard_).size(), 1u);
}

TEST_F(RunProcessTest, AnExitCodeOf259DoesNotLookLikeARunningProcess) {
  ConfigureWizard(wizard_, 0, STILL_ACTIVE);
  EXPECT_NE(RunProcess(Quoted(), -1), 0u);  // returns instead of waiting forever
  EXPECT_EQ(ReadWizardRuns(wizard_).size(), 1u);
}

class TimerWindow : public Window {
 public:
  TimerWindow() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTimerWindow";
    CreateSpec params;
    params.style = WS_POPUP;
    CreateWindowObject(windowClass, params);
    ::SetTimer(Handle(), 1, 30, nullptr);
  }
  int ticks = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER) ++ticks;
    return Window::HandleMessage(message, wParam, lParam);
  }
};

// This program's and the Wine server's processor time as the host counts it.
double CpuMilliseconds() {
  return test::HostCpuMilliseconds("win32_bootstrap_tests.exe").value_or(0.0) +
         test::WineServerCpuMilliseconds().value_or(0.0);
}

TEST_F(RunProcessTest, TheWaitServesTheCallersWindowsWithoutSpinning) {
  ConfigureWizard(wizard_, 2000, 0);
  TimerWindow window;
  ASSERT_TRUE(test::HostCpuMilliseconds("win32_bootstrap_tests.exe")) << "the host's process table is not readable";
  const double cpuBefore = CpuMilliseconds();
  EXPECT_NE(RunProcess(Quoted(), -1), 0u);
  const double cpuUsed = CpuMilliseconds() - cpuBefore;
  EXPECT_GT(window.ticks, 3);  // timer messages were dispatched during the wait
  // A polling loop would burn the whole two seconds; sleeping costs next to nothing.
  EXPECT_LT(cpuUsed, 600.0) << "processor time used while waiting 2 s";
}

TEST_F(RunProcessTest, AProgramThatCannotStartGivesZero) {
  EXPECT_EQ(RunProcess(folder_ / "missing.exe", -1), 0u);
  EXPECT_EQ(RunProgram(folder_ / "missing.exe", "missing.exe", -1), 0u);
}

TEST_F(RunProcessTest, RunProgramStartsOnlyTheNamedFileWithTheCommandLineUnchanged) {
  // A program planted at a prefix of the unquoted path, where the platform's search
  // along the blanks would find it first.
  const std::string planted = folder_ / "Wizard.exe";
  ASSERT_TRUE(test::CopyFileTo(test::TestProgramFolder() + "testwizard.exe", planted));
  const std::string unquoted = wizard_ + " \"D:\\\"";

  EXPECT_NE(RunProgram(wizard_, unquoted, -1), 0u);
  ASSERT_EQ(ReadWizardRuns(wizard_).size(), 1u);
  EXPECT_EQ(ReadWizardRuns(wizard_)[0].commandLine, unquoted);
  EXPECT_TRUE(ReadWizardRuns(planted).empty());

  // The control: the plain launch of the same command line does run the planted file.
  EXPECT_NE(RunProcess(unquoted, -1), 0u);
  EXPECT_EQ(ReadWizardRuns(planted).size(), 1u);
}

Sha256Digest DigestOfFile(const std::string& path) {
  const std::string bytes = test::ReadFileBytes(path).value_or("");
  Sha256 sha;
  sha.Update(bytes.data(), bytes.size());
  return sha.Finish();
}

bool Renames(const std::string& from, const std::string& to) {
  return ::MoveFileExW(Utf8ToUtf16(from).c_str(), Utf8ToUtf16(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

TEST_F(RunProcessTest, AHeldProgramCanBeNeitherChangedNorSwappedAndStartsAsItWas) {
  const std::string planted = folder_ / "planted.exe";
  ASSERT_TRUE(test::CopyFileTo(test::TestProgramFolder() + "testwizard.exe", planted));
  auto held = HeldProgram::Hold(wizard_, DigestOfFile(wizard_));
  ASSERT_TRUE(held);
  EXPECT_FALSE(Renames(wizard_, folder_ / "aside.exe"));
  EXPECT_FALSE(Renames(planted, wizard_));
  EXPECT_FALSE(::DeleteFileW(Utf8ToUtf16(wizard_).c_str()));
  EXPECT_FALSE(UniqueFileHandle(::CreateFileW(Utf8ToUtf16(wizard_).c_str(), GENERIC_WRITE, 7, nullptr, OPEN_EXISTING,
                                              0, nullptr)));

  int started = 0;
  EXPECT_NE(RunHeldProgram(std::move(*held), Quoted(), -1, [&] { ++started; }), 0u);
  EXPECT_EQ(started, 1);
  const auto runs = ReadWizardRuns(wizard_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, Quoted());
  EXPECT_TRUE(ReadWizardRuns(planted).empty());
  EXPECT_TRUE(Renames(wizard_, folder_ / "aside.exe"));  // the hold ended with the start
}

TEST_F(RunProcessTest, AProgramThatIsNotWhatWasUnpackedIsNotHeld) {
  Sha256Digest other = DigestOfFile(wizard_);
  other[0] ^= 1;
  EXPECT_FALSE(HeldProgram::Hold(wizard_, other));
  EXPECT_FALSE(HeldProgram::Hold(folder_ / "missing.exe", other));
  // Not held: anyone may replace it again.
  EXPECT_TRUE(Renames(wizard_, folder_ / "aside.exe"));
}

}  // namespace
}  // namespace tolvar
