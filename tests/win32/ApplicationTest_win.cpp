#include "platform/Application_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include "platform/Controls_win.h"
#include "platform/Error.h"
#include "platform/ThreadWindows_win.h"
#include "platform/Window_win.h"
#include "tests/support/DestroyWatch_win.h"
#include "tests/support/ManualClock_win.h"
#include "tests/support/MessageBarrier_win.h"

namespace tolvar {
namespace {

constexpr UINT kPing = WM_APP + 1;

class TestWindow : public Window {
 public:
  explicit TestWindow(const char* caption, HWND parent = nullptr, bool failOnCreate = false)
      : failOnCreate_(failOnCreate) {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestWindow";
    CreateSpec params;
    params.caption = caption;
    params.style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_CAPTION | WS_VISIBLE;
    params.parent = parent;
    params.clientWidth = 200;
    params.clientHeight = 100;
    params.left = params.top = 10;
    CreateWindowObject(windowClass, params);
  }
  bool PreTranslateMessage(MSG& message) override {
    if (message.message == WM_KEYDOWN) ++previewedKeys;
    return false;
  }
  int pings = 0;
  int previewedKeys = 0;
  int destroyedCalls = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE && failOnCreate_) throw std::runtime_error("creation failed");
    if (message == kPing) {
      ++pings;
      return 42;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
  void OnDestroyed() override { ++destroyedCalls; }

 private:
  bool failOnCreate_;
};

TEST(WindowObject, MessagesReachTheObjectUntilTheWindowIsGone) {
  TestWindow window("one");
  ASSERT_TRUE(window.Exists());
  EXPECT_EQ(WindowFromHandle(window.Handle()), &window);
  EXPECT_EQ(::SendMessageW(window.Handle(), kPing, 0, 0), 42);
  const HWND handle = window.Handle();
  window.Destroy();
  EXPECT_FALSE(window.Exists());
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_EQ(window.destroyedCalls, 1);
  EXPECT_EQ(WindowFromHandle(handle), nullptr);
}

// A form whose label shows the dialog font that the base class keeps.
class LabelledWindow : public TestWindow {
 public:
  LabelledWindow() : TestWindow("labelled") {
    label = CreateControl(Handle(), {.text = "Štítek", .width = 80, .height = 13});
    Refont(8);
  }
  HFONT Refont(int points) { return SetDialogFont(L"Tahoma", points, {Handle(), label}); }
  HWND label = nullptr;
};

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)); }

TEST(WindowObject, TheDialogFontReachesTheControlsAndOutlivesTheWindow) {
  auto window = std::make_unique<LabelledWindow>();
  const HFONT first = FontOf(window->label);
  EXPECT_TRUE(test::IsLiveFont(first));
  const HFONT second = window->Refont(12);
  EXPECT_EQ(FontOf(window->label), second);
  EXPECT_NE(second, first);
  EXPECT_FALSE(test::IsLiveFont(first));  // the one before goes once nobody shows it

  const test::FontAtTeardown teardown = test::DestroyWatchingFont(window, second);
  EXPECT_TRUE(teardown.windowDestroyed);
  EXPECT_TRUE(teardown.liveWhileDestroyed);
  EXPECT_FALSE(teardown.liveAfter);
}

// A child style without a parent: the system refuses to make it.
class ImpossibleWindow : public Window {
 public:
  ImpossibleWindow() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestWindow";
    CreateWindowObject(windowClass, CreateSpec{.style = WS_CHILD});
  }
};

TEST(WindowObject, AWindowTheSystemRefusesThrowsAndLeavesNothingBehind) {
  EXPECT_THROW(ImpossibleWindow{}, Error);
  EXPECT_TRUE(Application::Instance().TopLevelWindows().empty());
}

TEST(WindowObject, TheClientAreaHasTheDesignedSize) {
  TestWindow window("size");
  RECT client{};
  ::GetClientRect(window.Handle(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
}

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

// Last in this program: a WM_QUIT seen by ProcessMessages is a termination request
// that lasts for the rest of the process.
TEST(ApplicationObjectLast, QuitMessageRequestsTermination) {
  EXPECT_FALSE(Application::Instance().Terminated());
  ::PostQuitMessage(0);
  Application::Instance().ProcessMessages();
  EXPECT_TRUE(Application::Instance().Terminated());
}

}  // namespace
}  // namespace tolvar
