// A robot on a second thread for dialogs that the test opens on its own thread:
// the test thread runs the modal dialog while the robot finds it, reads it and
// works it with posted mouse and keyboard messages, as a user would. The robot
// records what it sees in variables of the test, which the test checks after
// the dialog has closed (GoogleTest assertions stay on the test thread).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace tolvar::test {

// True for a visible message dialog window.
bool IsMessageDialog(HWND window);

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

  // Whether the robot found a dialog at all (read after the dialog closed).
  bool FoundDialog() const noexcept { return found_; }

 private:
  std::function<void(HWND)> work_;
  bool found_ = false;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Runs show() while a robot works the dialog it opens; returns show()'s result.
template <typename Show>
auto WithDialogRobot(std::function<void(HWND dialog)> work, Show show) {
  DialogRobot robot(std::move(work));
  return show();
}

// Waits until the condition holds; false when the time ran out.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The control of a dialog with the given identifier.
HWND ControlOf(HWND dialog, int id);
// The window with the keyboard focus in the dialog's thread.
HWND FocusOf(HWND dialog);
// A control's bounds in the client coordinates of its parent.
RECT BoundsOf(HWND control);
SIZE ClientSizeOf(HWND window);

// A key pressed and released on the control with the focus.
void PressKey(HWND dialog, UINT virtualKey);
// A left click in the middle of a control, or at a client point of a window.
void ClickControl(HWND control);
void ClickAt(HWND window, POINT clientPoint);

// The colour of a client pixel as the screen shows it.
COLORREF PixelAt(HWND window, POINT clientPoint);

}  // namespace tolvar::test
