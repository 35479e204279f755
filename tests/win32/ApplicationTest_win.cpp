#include "platform/Application_win.h"

#include <gtest/gtest.h>

#include "platform/Controls_win.h"
#include "platform/ThreadWindows_win.h"
#include "platform/Window_win.h"

namespace tolvar {
namespace {

constexpr UINT kPing = WM_APP + 1;

class TestWindow : public Window {
 public:
  explicit TestWindow(const char* caption, HWND parent = nullptr) {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestWindow";
    CreateSpec params;
    params.caption = caption;
    params.style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_CAPTION | WS_VISIBLE;
    params.parent = parent;
    params.clientWidth = 200;
    params.clientHeight = 100;
    params.left = params.top = 10;
    EXPECT_TRUE(CreateWindowObject(windowClass, params));
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
    if (message == kPing) {
      ++pings;
      return 42;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
  void OnDestroyed() override { ++destroyedCalls; }
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

TEST(ApplicationObject, ProcessMessagesIfDuePumpsOncePerIntervalNotOnEveryCall) {
  TestWindow window("due");
  Application& application = Application::Instance();
  // Called in a tight loop with a ping posted before every call: the pings are
  // dispatched in few batches, each batch being one pump.
  constexpr int kCalls = 1000;
  int pumps = 0;
  for (int call = 0; call < kCalls; ++call) {
    ::PostMessageW(window.Handle(), kPing, 0, 0);
    const int before = window.pings;
    application.ProcessMessagesIfDue();
    if (window.pings != before) ++pumps;
  }
  EXPECT_LT(pumps, kCalls / 2);
  // Once the interval has passed, the next call pumps everything pending.
  ::PostMessageW(window.Handle(), kPing, 0, 0);
  for (int wait = 0; wait < 5000 && ::GetQueueStatus(QS_POSTMESSAGE) != 0; ++wait) {
    ::Sleep(1);
    application.ProcessMessagesIfDue();
  }
  EXPECT_EQ(window.pings, kCalls + 1);
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

TEST(ApplicationObject, MainWindowHooksSeeTheThemeChangeUntilRemoved) {
  int seen = 0;
  const int id = Application::Instance().AddMainWindowHook([&](UINT message, WPARAM, LPARAM) {
    if (message == WM_THEMECHANGED) ++seen;
    return false;
  });
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
