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
