#include "tests/win32/DialogRobot_win.h"

#include "dialogs/MessageDialogForm_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/RobotInput_win.h"

namespace tolvar::test {

DialogRobot::DialogRobot(std::function<void(HWND)> work)
    : work_(std::move(work)), done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this] {
    const auto dialog = WaitForWindow(::GetCurrentProcessId(), IsMessageDialog, 15000);
    if (dialog) {
      WaitUntilServed(*dialog);
      work_(*dialog);
      if (!WaitUntil([&] { return !::IsWindowVisible(*dialog); }, 30000)) PressCloseBox(*dialog);
    }
    ::SetEvent(done_.get());
  });
}

DialogRobot::~DialogRobot() {
  // The robot may be reading a control of a dialog that has just closed: its
  // messages are served until it is done.
  const HANDLE done = done_.get();
  do {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  } while (::MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0);
  thread_.join();
}

bool TickCountdown(HWND dialog) {
  ::PostMessageW(dialog, WM_TIMER, kCountdownTimerId, 0);
  return WaitUntilHandled(dialog);
}

}  // namespace tolvar::test
