// Disabling the program's other windows while a modal or wait window is up, and
// giving them back afterwards.
#pragma once

#include <windows.h>

#include <vector>

namespace tolvar {

// Disables every visible, enabled top-level window of the calling thread except
// `keep`, and returns the windows it disabled.
std::vector<HWND> DisableThreadWindows(HWND keep);

// Re-enables those of the windows that still exist.
void EnableWindows(const std::vector<HWND>& windows);

// The thread's other windows disabled for as long as `keep` stands above them:
// at its start it notes the active window and disables the others; at its end
// it re-enables them and re-activates the noted window, if that still exists.
// It must end before `keep` is destroyed, so that the system activates one of
// our windows rather than another program's.
class DisabledWindowsScope {
 public:
  explicit DisabledWindowsScope(HWND keep);
  DisabledWindowsScope(const DisabledWindowsScope&) = delete;
  DisabledWindowsScope& operator=(const DisabledWindowsScope&) = delete;
  ~DisabledWindowsScope();

  HWND PreviouslyActive() const noexcept { return previouslyActive_; }
  const std::vector<HWND>& Disabled() const noexcept { return disabled_; }
  // Another window took the activation meanwhile: leave it where it is.
  void ForgetActivation() noexcept { previouslyActive_ = nullptr; }

 private:
  HWND previouslyActive_;
  std::vector<HWND> disabled_;
};

// Runs a modal loop for `dialog`: disables the thread's other windows, pumps
// messages until finished() is true or the dialog is gone, re-posts WM_QUIT if it
// arrived meanwhile, re-enables the windows and re-activates the window that was
// active before. An exception that a window procedure caught meanwhile ends the
// loop as well and is rethrown after that clean-up.
template <typename Finished>
void RunModalLoop(HWND dialog, Finished finished);

void RunModalLoopImpl(HWND dialog, bool (*finished)(void*), void* context);

template <typename Finished>
void RunModalLoop(HWND dialog, Finished finished) {
  RunModalLoopImpl(
      dialog, [](void* context) { return (*static_cast<Finished*>(context))(); }, &finished);
}

}  // namespace tolvar
