// A robot on a second thread for dialogs that the test opens on its own thread:
// the test thread runs the modal dialog while the robot finds it, reads it and
// works it with posted mouse and keyboard messages, as a user would. The robot
// records what it sees in variables of the test, which the test checks after
// the dialog has closed (GoogleTest assertions stay on the test thread). After
// posting input the robot passes WaitUntilHandled(dialog) before it looks at the
// outcome: the robot brings the test thread's message barrier along.
//
// The dialogs run on a clock the test holds (ManualClock): a countdown moves
// only when the robot advances the clock, and the next tick of its timer shows
// that time. No test sleeps through a countdown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/Handle_win.h"
#include "platform/Registry_win.h"
#include "tests/support/ManualClock_win.h"
#include "tests/support/MessageBarrier_win.h"
#include "tests/support/RegistrySandbox_win.h"
#include "tests/support/RobotInput_win.h"

namespace tolvar::test {

class DialogRobot {
 public:
  // Starts the robot: it waits for the first message dialog of this process and
  // runs `work` on it. Should the dialog still be open long after `work`
  // returned, the robot closes it, so that a failing test ends.
  explicit DialogRobot(std::function<void(HWND dialog)> work);
  DialogRobot(const DialogRobot&) = delete;
  DialogRobot& operator=(const DialogRobot&) = delete;
  // Waits for the robot thread, serving the messages it may still send to the
  // dialog's windows meanwhile.
  ~DialogRobot();

 private:
  MessageBarrier barrier_;  // of the test thread, which runs the dialog
  std::function<void(HWND)> work_;
  UniqueKernelHandle done_;  // set when the robot has finished
  std::thread thread_;
};

// Runs show() while a robot works the dialog it opens; returns show()'s result.
template <typename Show>
auto WithDialogRobot(std::function<void(HWND dialog)> work, Show show) {
  DialogRobot robot(std::move(work));
  return show();
}

// From the robot: one tick of the dialog's countdown timer now, handled before
// this returns, so that what the robot reads next shows the clock's time. The
// tick is the message the timer sends; after the countdown stopped it must do
// nothing.
bool TickCountdown(HWND dialog);

// Tests of in-process dialogs: the application's title set, a registry of the
// test's own, in which the dialog's settings start missing and from which
// nothing reaches the user's settings, and the clock in the test's hand.
class DialogSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(registry_.Active());
    Application::Instance().SetTitle("Install");
  }
  RegistrySandbox registry_;
  ManualClock clock_;
};

}  // namespace tolvar::test
