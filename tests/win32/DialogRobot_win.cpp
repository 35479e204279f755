#include "tests/win32/DialogRobot_win.h"

#include "tests/support/Robot_win.h"
#include "tests/support/RobotInput_win.h"

namespace tolvar::test {

DialogRobot::DialogRobot(std::function<void(HWND)> work) : work_(std::move(work)) {
  thread_ = std::thread([this] {
    const auto dialog = WaitForWindow(::GetCurrentProcessId(), IsMessageDialog, 15000);
    if (dialog) {
      WaitUntilServed(*dialog);
      work_(*dialog);
      if (!WaitUntil([&] { return !::IsWindowVisible(*dialog); }, 30000)) PressCloseBox(*dialog);
    }
    done_ = true;
  });
}

DialogRobot::~DialogRobot() {
  // The robot may be reading a control of a dialog that has just closed.
  while (!done_) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(10);
  }
  thread_.join();
}

}  // namespace tolvar::test
