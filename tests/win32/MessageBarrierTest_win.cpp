// The robots' message barrier (tests/support), which the dialog tests rely on
// to know that posted input has been handled.
#include "tests/support/MessageBarrier_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "platform/Controls_win.h"
#include "tests/win32/TestWindow_win.h"

namespace tolvar {
namespace {

using test::TestWindow;

// The robots' barrier: keys posted from another thread, and the characters they
// turn into, have all been handled when it lets the robot pass.
TEST(MessageBarrier, OpensOnlyAfterPostedKeysAndTheirCharactersWereHandled) {
  const test::MessageBarrier barrier;
  TestWindow window("barrier");
  const HWND edit = CreateControl(window.Handle(), {.className = L"EDIT", .width = 150, .height = 20});
  std::atomic<bool> done{false};
  bool passed = false;
  std::thread robot([&] {
    for (const char key : std::string("TOLVAR")) {
      ::PostMessageW(edit, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
      ::PostMessageW(edit, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(0xC0000001u));
    }
    passed = test::WaitUntilHandled(edit);
    done = true;
  });
  // Nothing is handled before the barrier's marker is queued behind the keys;
  // their characters then come behind the marker. The text is read the moment
  // the barrier opens.
  MSG message;
  while (!::PeekMessageW(&message, barrier.Handle(), 0, 0, PM_NOREMOVE)) ::Sleep(1);
  std::optional<std::string> typedWhenOpen;
  while (!done) {
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
    if (!typedWhenOpen && barrier.LetThrough()) typedWhenOpen = GetText(edit);
  }
  robot.join();
  EXPECT_TRUE(passed);
  EXPECT_EQ(typedWhenOpen, "tolvar");
  EXPECT_FALSE(test::WaitUntilHandled(::GetDesktopWindow(), 500));  // a thread without a barrier
}

}  // namespace
}  // namespace tolvar
