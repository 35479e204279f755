// The base class of the program's windows: messages reach the object until the
// window is gone, the dialog font it keeps outlives the window, and a window
// the system refuses throws.
#include "platform/Window_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Error.h"
#include "tests/support/DestroyWatch_win.h"
#include "tests/win32/TestWindow_win.h"

namespace tolvar {
namespace {

using test::kPing;
using test::TestWindow;

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

}  // namespace
}  // namespace tolvar
