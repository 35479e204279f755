// The windows of the GUI thread around a modal window: disabled while it runs
// and given back afterwards with the activation, and the modal loop itself.
#include "platform/ThreadWindows_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/win32/TestWindow_win.h"

namespace tolvar {
namespace {

using test::kPing;
using test::TestWindow;

TEST(ModalLoop, DisablesTheOtherWindowsAndRepostsQuit) {
  TestWindow owner("owner");
  TestWindow dialog("dialog");
  bool ownerWasDisabled = false;
  int turns = 0;
  ::PostMessageW(dialog.Handle(), kPing, 0, 0);
  ::PostQuitMessage(7);
  RunModalLoop(dialog.Handle(), [&] {
    ownerWasDisabled = ownerWasDisabled || !::IsWindowEnabled(owner.Handle());
    return ++turns > 5;
  });
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  EXPECT_TRUE(::IsWindowEnabled(dialog.Handle()));
  MSG quit{};
  ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
}

TEST(ThreadWindows, OnlyVisibleEnabledWindowsAreDisabledAndGivenBack) {
  TestWindow shown("shown");
  TestWindow hidden("hidden");
  ::ShowWindow(hidden.Handle(), SW_HIDE);
  TestWindow alreadyDisabled("off");
  ::EnableWindow(alreadyDisabled.Handle(), FALSE);
  const auto disabled = DisableThreadWindows(nullptr);
  EXPECT_EQ(disabled, std::vector<HWND>{shown.Handle()});
  EnableWindows(disabled);
  EXPECT_TRUE(::IsWindowEnabled(shown.Handle()));
  EXPECT_FALSE(::IsWindowEnabled(alreadyDisabled.Handle()));
}

TEST(ThreadWindows, AScopeGivesTheWindowsAndTheActivationBack) {
  TestWindow owner("owner");
  TestWindow dialog("dialog");
  ::SetActiveWindow(owner.Handle());
  {
    const DisabledWindowsScope others(dialog.Handle());
    EXPECT_EQ(others.PreviouslyActive(), owner.Handle());
    EXPECT_EQ(others.Disabled(), std::vector<HWND>{owner.Handle()});
    EXPECT_FALSE(::IsWindowEnabled(owner.Handle()));
    EXPECT_TRUE(::IsWindowEnabled(dialog.Handle()));
    ::SetActiveWindow(dialog.Handle());
  }
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  EXPECT_EQ(::GetActiveWindow(), owner.Handle());
}

TEST(ThreadWindows, AScopeThatForgotTheActivationLeavesItWhereItIs) {
  TestWindow owner("owner");
  TestWindow dialog("dialog");
  TestWindow third("third");
  ::SetActiveWindow(owner.Handle());
  {
    DisabledWindowsScope others(dialog.Handle());
    ::EnableWindow(third.Handle(), TRUE);
    ::SetActiveWindow(third.Handle());
    others.ForgetActivation();
  }
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  EXPECT_EQ(::GetActiveWindow(), third.Handle());
}

}  // namespace
}  // namespace tolvar
