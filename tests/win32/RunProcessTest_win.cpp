#include <gtest/gtest.h>

#include <vector>

#include "bootstrap/ProcessLaunch_win.h"
#include "platform/Application_win.h"
#include "platform/Error.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "platform/Window_win.h"
#include "tests/support/HostCpu_win.h"
#include "tests/support/Processes_win.h"
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

// A window whose procedure fails on a message posted to it.
class FailingWindow : public Window {
 public:
  FailingWindow() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarFailingWindow";
    CreateSpec params;
    params.style = WS_POPUP;
    CreateWindowObject(windowClass, params);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) throw Error("a window failed");
    return Window::HandleMessage(message, wParam, lParam);
  }
};

TEST_F(RunProcessTest, AnErrorWhileServingMessagesComesOutOnlyAfterTheProcessEnded) {
  ConfigureWizard(wizard_, 1500, 0);
  FailingWindow window;
  ASSERT_TRUE(::PostMessageW(window.Handle(), WM_APP, 0, 0));
  EXPECT_THROW(RunProcess(Quoted(), -1), Error);
  // The wizard writes its record when it ends: it had ended when the wait gave up.
  EXPECT_EQ(ReadWizardRuns(wizard_).size(), 1u);
}

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

TEST_F(RunProcessTest, ACheckedProgramRunsOnlyWhenItsCheckSaysYesOnceItExists) {
  std::vector<bool> existedWhenAsked;
  const auto ask = [&](bool answer) {
    return [&, answer] {
      existedWhenAsked.push_back(!test::ProcessIdsNamed("setupostrel.exe").empty());
      return answer;
    };
  };
  EXPECT_EQ(StartCheckedProgram(wizard_, Quoted(), -1, ask(false)), 0u);
  EXPECT_TRUE(ReadWizardRuns(wizard_).empty());
  for (int i = 0; i < 100 && !test::ProcessIdsNamed("setupostrel.exe").empty(); ++i) ::Sleep(50);
  EXPECT_TRUE(test::ProcessIdsNamed("setupostrel.exe").empty()) << "the refused process was left behind";

  EXPECT_NE(StartCheckedProgram(wizard_, Quoted(), -1, ask(true)), 0u);
  const auto runs = ReadWizardRuns(wizard_);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, Quoted());
  EXPECT_EQ(existedWhenAsked, (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace tolvar
