// The application object: the main window, the message pumps and the final
// loop, the cursor override, the hooks on the hidden application window, and
// what every message loop does with an exception of a window's handler: it
// never leaves through the system's frames that called the procedure, and the
// loop ends at the failing message and rethrows it. The termination request
// comes last, as it lasts for the rest of the process.
#include "platform/Application_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/Controls_win.h"
#include "platform/ThreadWindows_win.h"
#include "tests/support/ManualClock_win.h"
#include "tests/win32/TestWindow_win.h"

namespace tolvar {
namespace {

using test::kPing;
using test::TestWindow;

TEST(ApplicationObject, TheFirstTopLevelWindowIsTheMainWindow) {
  EXPECT_EQ(Application::Instance().MainWindow(), nullptr);
  auto first = std::make_unique<TestWindow>("first");
  TestWindow second("second");
  TestWindow child("child", second.Handle());
  EXPECT_EQ(Application::Instance().MainWindow(), first.get());
  EXPECT_EQ(Application::Instance().TopLevelWindows().size(), 2u);  // children do not count
  first.reset();
  EXPECT_EQ(Application::Instance().MainWindow(), &second);
}

TEST(ApplicationObject, ProcessMessagesDispatchesEverythingPendingAndPreviewsKeys) {
  TestWindow window("pump");
  const HWND edit = CreateControl(window.Handle(), {.className = L"EDIT", .width = 50, .height = 20});
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Application::Instance().ProcessMessages();
  EXPECT_EQ(window.pings, 2);
  EXPECT_EQ(window.previewedKeys, 1);  // the top-level window sees its child's keys first
  MSG left;
  EXPECT_FALSE(::PeekMessageW(&left, window.Handle(), kPing, kPing, PM_NOREMOVE));
}

TEST(ApplicationObject, ProcessMessagesIfDuePumpsOnlyOnceAnIntervalHasPassed) {
  TestWindow window("due");
  test::ManualClock clock;  // put in: a pump is due one interval from now
  Application& application = Application::Instance();
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  // However often it is called, nothing is pumped before the interval is over.
  for (int call = 0; call < 100; ++call) application.ProcessMessagesIfDue();
  EXPECT_EQ(window.pings, 0);
  clock.Advance(Application::kPumpIntervalMs - 1);
  application.ProcessMessagesIfDue();
  EXPECT_EQ(window.pings, 0);
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  clock.Advance(1);
  application.ProcessMessagesIfDue();  // due: everything pending goes
  EXPECT_EQ(window.pings, 2);
  // That pump starts the next interval.
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  application.ProcessMessagesIfDue();
  EXPECT_EQ(window.pings, 2);
  clock.Advance(Application::kPumpIntervalMs);
  application.ProcessMessagesIfDue();
  EXPECT_EQ(window.pings, 3);
}

TEST(ApplicationObject, RunReturnsAtOnceWhenNoWindowIsLeft) {
  ASSERT_EQ(Application::Instance().MainWindow(), nullptr);
  Application::Instance().Run();  // would block if it waited for messages
  SUCCEED();
}

TEST(ApplicationObject, RunServesTheMainWindowUntilItIsDestroyed) {
  TestWindow window("main");
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  ::PostMessageW(window.Handle(), WM_CLOSE, 0, 0);  // DefWindowProc destroys it
  Application::Instance().Run();
  EXPECT_EQ(window.pings, 1);
  EXPECT_FALSE(window.Exists());
}

TEST(ApplicationObject, CursorOverrideWinsOverTheWindowsOwnCursorAndIsRestored) {
  TestWindow window("cursor");
  const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  {
    CursorOverrideScope busy(wait);
    EXPECT_EQ(Application::Instance().CursorOverride(), wait);
    {
      CursorOverrideScope normal(arrow);
      EXPECT_EQ(Application::Instance().CursorOverride(), arrow);
    }
    EXPECT_EQ(Application::Instance().CursorOverride(), wait);
    ::SetCursor(arrow);
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.Handle()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), wait);
  }
  EXPECT_EQ(Application::Instance().CursorOverride(), nullptr);
}

// A hook that counts the `watched` messages reaching the hidden window.
int AddCountingHook(UINT watched, int& seen) {
  return Application::Instance().AddMainWindowHook([watched, &seen](UINT message, WPARAM, LPARAM) {
    if (message == watched) ++seen;
    return false;
  });
}

TEST(ApplicationObject, MainWindowHooksSeeTheThemeChangeUntilRemoved) {
  int seen = 0;
  const int id = AddCountingHook(WM_THEMECHANGED, seen);
  const HWND hidden = Application::Instance().ApplicationWindow();
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(::IsWindowVisible(hidden));
  EXPECT_EQ(Application::Instance().MainWindow(), nullptr);  // never counts as a main window
  ::SendMessageW(hidden, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(seen, 1);
  Application::Instance().RemoveMainWindowHook(id);
  ::SendMessageW(hidden, WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(seen, 1);
}

TEST(ApplicationObject, ADestroyedHiddenWindowIsMadeAnewAndTheHooksFollowIt) {
  int seen = 0;
  const int id = AddCountingHook(WM_SYSCOLORCHANGE, seen);
  const HWND first = Application::Instance().ApplicationWindow();
  ASSERT_TRUE(::DestroyWindow(first));
  const HWND second = Application::Instance().ApplicationWindow();
  ASSERT_TRUE(::IsWindow(second));
  EXPECT_FALSE(::IsWindowVisible(second));
  ::SendMessageW(second, WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(Application::Instance().MainWindow(), nullptr);
  Application::Instance().RemoveMainWindowHook(id);
}

// A window whose handler fails: kThrow raises, kPing counts, and kNested runs a
// modal loop for `inner` from inside the handler.
constexpr UINT kThrow = WM_APP + 2;
constexpr UINT kNested = WM_APP + 3;

class FailingWindow : public TestWindow {
 public:
  explicit FailingWindow(const char* caption, bool failOnCreate = false) : TestWindow(caption, nullptr, failOnCreate) {}
  FailingWindow* inner = nullptr;
  bool nestedLoopLeftByException = false;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kThrow) throw std::runtime_error("handler failed");
    if (message == kNested) {
      try {
        RunModalLoop(inner->Handle(), [] { return false; });
      } catch (...) {
        nestedLoopLeftByException = true;
        throw;
      }
      return 0;
    }
    return TestWindow::HandleMessage(message, wParam, lParam);
  }
};

TEST(HandlerExceptions, NeverLeaveThroughTheSystemsCallIntoTheProcedure) {
  FailingWindow window("contained");
  // Windows calls the procedure from its own frames; the exception stays here.
  EXPECT_NO_THROW(::SendMessageW(window.Handle(), kThrow, 0, 0));
  EXPECT_TRUE(Application::Instance().HasPendingException());
  MSG message{window.Handle(), kThrow, 0, 0, 0, {}};
  EXPECT_NO_THROW(::DispatchMessageW(&message));
  // The first one is kept and handed on once.
  EXPECT_THROW(Application::Instance().RethrowPendingException(), std::runtime_error);
  EXPECT_NO_THROW(Application::Instance().RethrowPendingException());
}

TEST(HandlerExceptions, ProcessMessagesStopsAtTheFailingMessageAndRethrowsIt) {
  FailingWindow window("throws");
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  ::PostMessageW(window.Handle(), kThrow, 0, 0);
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  EXPECT_THROW(Application::Instance().ProcessMessages(), std::runtime_error);
  EXPECT_EQ(window.pings, 1);  // the message after the failing one waits
  EXPECT_FALSE(Application::Instance().HasPendingException());
  Application::Instance().ProcessMessages();
  EXPECT_EQ(window.pings, 2);
}

TEST(HandlerExceptions, TheModalLoopEndsGivesTheWindowsBackAndRethrows) {
  TestWindow owner("owner");
  FailingWindow dialog("dialog");
  ::PostMessageW(dialog.Handle(), kThrow, 0, 0);
  EXPECT_THROW(RunModalLoop(dialog.Handle(), [] { return false; }), std::runtime_error);
  EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
  EXPECT_TRUE(dialog.Exists());
}

TEST(HandlerExceptions, AnExceptionInANestedLoopReachesTheOuterCaller) {
  FailingWindow outer("outer");
  FailingWindow inner("inner");
  outer.inner = &inner;
  // The outer handler runs a modal loop in which the inner window's handler fails.
  ::PostMessageW(outer.Handle(), kNested, 0, 0);
  ::PostMessageW(inner.Handle(), kThrow, 0, 0);
  EXPECT_THROW(Application::Instance().ProcessMessages(), std::runtime_error);
  EXPECT_TRUE(outer.nestedLoopLeftByException);
}

TEST(HandlerExceptions, TheFinalLoopRethrowsAndAFailedCreationRaisesAtOnce) {
  FailingWindow window("final");
  ::PostMessageW(window.Handle(), kThrow, 0, 0);
  EXPECT_THROW(Application::Instance().Run(), std::runtime_error);
  EXPECT_FALSE(Application::Instance().Terminated());

  EXPECT_THROW(FailingWindow("fails while created", true), std::runtime_error);
  EXPECT_FALSE(Application::Instance().HasPendingException());
}

// Last in this file: a WM_QUIT seen by ProcessMessages is a termination request
// that lasts for the rest of the process (the tests of the other files run no
// loop that minds it).
TEST(ApplicationObjectLast, QuitMessageRequestsTermination) {
  EXPECT_FALSE(Application::Instance().Terminated());
  ::PostQuitMessage(0);
  Application::Instance().ProcessMessages();
  EXPECT_TRUE(Application::Instance().Terminated());
}

}  // namespace
}  // namespace tolvar
