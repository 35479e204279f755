// Proof that a GUI thread has handled the input a robot posted to it. A robot on
// another thread posts keys and clicks; before it looks at the result it passes
// the barrier of the GUI thread, which returns only after that thread has
// dispatched everything posted before, and what those messages posted in turn
// (a key's character, for instance). No sleeping and hoping.
#pragma once

#include <windows.h>

namespace tolvar::test {

// A hidden message-only window of the thread that creates it. Create it on the
// GUI thread before the window under test runs its message loop.
class MessageBarrier {
 public:
  MessageBarrier();
  MessageBarrier(const MessageBarrier&) = delete;
  MessageBarrier& operator=(const MessageBarrier&) = delete;
  ~MessageBarrier();

  HWND Handle() const noexcept { return window_; }
  // Whether a robot has been let through since the barrier was made.
  bool LetThrough() const noexcept;

 private:
  HWND window_ = nullptr;
};

// From a thread other than the one that owns `window`: waits until the owning
// thread, which must have a MessageBarrier, has handled every message posted to
// it before the call. False when it has no barrier or the time ran out.
bool WaitUntilHandled(HWND window, DWORD timeoutMs = 10000);

}  // namespace tolvar::test
