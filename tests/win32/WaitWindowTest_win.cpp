// The wait window under Wine: layout, gauge and pendulum modes, message pumping,
// the abort button, and what it does to the program's other windows.
#include "archive/MessWait_win.h"

#include <gtest/gtest.h>

#include "platform/Application_win.h"
#include "tests/support/Robot_win.h"

namespace tolvar {
namespace {

using test::TakeScreenshotIfWanted;
using test::WindowText;

const std::string kText = "Kopíruji soubory z instalačního média.";

// One of the program's other windows; it counts the pings posted to it as they
// are dispatched.
class OtherWindow : public Window {
 public:
  explicit OtherWindow(int left = 30) {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestOtherWindow";
    CreateWindowObject(windowClass, CreateSpec{.caption = "other", .style = WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                               .left = left, .top = 30, .clientWidth = 200, .clientHeight = 80});
    ::SetActiveWindow(Handle());
  }
  void Ping() const { ::PostMessageW(Handle(), WM_APP, 0, 0); }
  int pings = 0;
  int cancelModes = 0;
  bool heldCaptureAtFirstCancel = false;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) ++pings;
    if (message == WM_CANCELMODE && cancelModes++ == 0) heldCaptureAtFirstCancel = ::GetCapture() == Handle();
    return Window::HandleMessage(message, wParam, lParam);
  }
};

RECT PlaceInForm(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

::testing::AssertionResult IsAt(HWND control, int left, int top, int width, int height) {
  const RECT r = PlaceInForm(control);
  if (r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "at " << r.left << "," << r.top << " size " << r.right - r.left << "x"
                                       << r.bottom - r.top;
}

HCURSOR CursorOver(HWND form) {
  ::SendMessageW(form, WM_SETCURSOR, reinterpret_cast<WPARAM>(form), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor();
}

// The pendulum frame that is visible, or -1 when not exactly one is.
int VisibleFrame(const TWaitForm& form) {
  int visible = -1;
  for (int i = 0; i < 3; ++i) {
    if (::IsWindowVisible(form.Image(i))) visible = visible == -1 ? i : -2;
  }
  return visible < 0 ? -1 : visible;
}

TEST(WaitWindow, GaugeModeLayoutStepsAndPumping) {
  OtherWindow other;
  ShowWait(WaitForm, kText, 40, false, 5);
  ASSERT_TRUE(WaitForm);
  TWaitForm& form = *WaitForm;
  RECT client{};
  ::GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 361);
  EXPECT_EQ(client.bottom, 114);
  EXPECT_EQ(WindowText(form.Handle()), "Pracuji ...");
  const LONG style = ::GetWindowLongW(form.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_EQ(::GetActiveWindow(), form.Handle());

  EXPECT_EQ(WindowText(form.TextLbl()), kText);
  EXPECT_TRUE(IsAt(form.TextLbl(), 5, 5, 351, 26));
  EXPECT_TRUE(::IsWindowVisible(form.MyGauge().Handle()));
  EXPECT_TRUE(IsAt(form.MyGauge().Handle(), 5, 45, 351, 16));
  EXPECT_EQ(form.MyGauge().MaxValue(), 40);
  EXPECT_EQ(form.MyGauge().ForeColor(), clNavy);
  // A gauge window makes neither the pictures nor the abort button.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form.Image(i), nullptr) << i;
  EXPECT_EQ(form.PrerusitBut(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(form.WaitLbl()));
  EXPECT_EQ(WindowText(form.WaitLbl()), "Čekejte prosím ...");
  EXPECT_TRUE(IsAt(form.WaitLbl(), 5, 85, 351, 13));
  EXPECT_EQ(CursorOver(form.Handle()), ::LoadCursorW(nullptr, IDC_WAIT));

  // The other window is disabled meanwhile and remembered as the active one.
  EXPECT_FALSE(::IsWindowEnabled(other.Handle()));
  EXPECT_EQ(form.DisabledWindows(), std::vector<HWND>{other.Handle()});
  EXPECT_EQ(form.SavedActiveWindow(), other.Handle());

  // Messages are pumped on steps 5, 10, ... only.
  std::vector<int> pingsAfterStep;
  for (int step = 1; step <= 10; ++step) {
    other.Ping();
    StepWait(WaitForm);
    pingsAfterStep.push_back(other.pings);
  }
  EXPECT_EQ(pingsAfterStep, (std::vector<int>{0, 0, 0, 0, 5, 5, 5, 5, 5, 10}));
  for (int step = 11; step <= 20; ++step) StepWait(WaitForm);
  Application::Instance().ProcessMessages();  // Wine shows what was drawn when the thread pumps
  TakeScreenshotIfWanted(form.Handle(), "wait-window-gauge");

  for (int step = 21; step <= 45; ++step) StepWait(WaitForm);
  EXPECT_EQ(form.StepCount(), 45);
  EXPECT_EQ(form.MyGauge().Progress(), 40);  // full at 40, and stays there
  EXPECT_EQ(form.MyGauge().PercentDone(), 100);

  const HWND handle = form.Handle();
  CloseWait(WaitForm);
  EXPECT_FALSE(WaitForm);
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_TRUE(::IsWindowEnabled(other.Handle()));
  EXPECT_EQ(::GetActiveWindow(), other.Handle());
}

// The children of a window, first (top) to last in Z order.
std::vector<HWND> ChildrenInZOrder(HWND window) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

TEST(WaitWindow, EachModeMakesOnlyItsControlsAndKeepsTheLayoutsOrder) {
  {
    TWaitForm full;  // the whole layout
    EXPECT_EQ(ChildrenInZOrder(full.Handle()),
              (std::vector<HWND>{full.Image(1), full.Image(2), full.Image(0), full.WaitLbl(), full.Image(3),
                                 full.TextLbl(), full.MyGauge().Handle(), full.PrerusitBut()}));
    for (const HWND child : ChildrenInZOrder(full.Handle())) EXPECT_NE(child, nullptr);
  }
  ShowWait(WaitForm, kText, 0, false, 1);
  EXPECT_EQ(ChildrenInZOrder(WaitForm->Handle()),
            (std::vector<HWND>{WaitForm->Image(1), WaitForm->Image(2), WaitForm->Image(0), WaitForm->WaitLbl(),
                               WaitForm->Image(3), WaitForm->TextLbl(), WaitForm->MyGauge().Handle()}));
  CloseWait(WaitForm);
  ShowWait(WaitForm, kText, 20, false, 5);  // as the copy step opens it
  EXPECT_EQ(ChildrenInZOrder(WaitForm->Handle()),
            (std::vector<HWND>{WaitForm->WaitLbl(), WaitForm->TextLbl(), WaitForm->MyGauge().Handle()}));
  CloseWait(WaitForm);
  ShowWait(WaitForm, kText, 20, true, 5);
  EXPECT_EQ(ChildrenInZOrder(WaitForm->Handle()),
            (std::vector<HWND>{WaitForm->TextLbl(), WaitForm->MyGauge().Handle(), WaitForm->PrerusitBut()}));
  EXPECT_TRUE(::IsWindowVisible(WaitForm->PrerusitBut()));
  CloseWait(WaitForm);
}

TEST(WaitWindow, AnimationSwingsThePendulumOnEveryIntervalthStep) {
  OtherWindow other;
  ShowWait(WaitForm, kText, 0, false, 3);
  TWaitForm& form = *WaitForm;
  EXPECT_FALSE(::IsWindowVisible(form.MyGauge().Handle()));
  EXPECT_TRUE(::IsWindowVisible(form.Image(3)));
  EXPECT_TRUE(IsAt(form.Image(3), 165, 22, 32, 32));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(IsAt(form.Image(i), 165, 53, 32, 32)) << i;
  for (int i = 0; i < 4; ++i) EXPECT_NE(::SendMessageW(form.Image(i), STM_GETICON, 0, 0), 0) << "picture " << i;
  EXPECT_EQ(VisibleFrame(form), 0);
  TakeScreenshotIfWanted(form.Handle(), "wait-window-animation-0");

  std::vector<int> frames;
  std::vector<int> pings;
  for (int step = 1; step <= 15; ++step) {
    other.Ping();
    StepWait(WaitForm);
    if (step % 3 == 0) {
      frames.push_back(VisibleFrame(form));
      EXPECT_EQ(form.FrameIndex(), frames.back());
      pings.push_back(other.pings);
      if (step <= 6) TakeScreenshotIfWanted(form.Handle(), "wait-window-animation-" + std::to_string(step / 3));
    } else {
      EXPECT_EQ(VisibleFrame(form), frames.empty() ? 0 : frames.back());
    }
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 1, 0, 1}));
  EXPECT_EQ(pings, (std::vector<int>{3, 6, 9, 12, 15}));

  // Interval 0: every step pumps, and the pendulum stands still.
  ShowWait(WaitForm, kText, 0, false, 0);
  for (int step = 1; step <= 4; ++step) {
    other.Ping();
    StepWait(WaitForm);
    EXPECT_EQ(other.pings, 15 + step);
    EXPECT_EQ(VisibleFrame(*WaitForm), 0);
  }
  CloseWait(WaitForm);
  EXPECT_TRUE(::IsWindowEnabled(other.Handle()));  // the replaced window gave it back too
}

TEST(WaitWindow, TheStepCounterWrapsToZeroWhichPumps) {
  OtherWindow other;
  ShowWait(WaitForm, kText, 40, false, 7);
  for (int step = 1; step < 65535; ++step) StepWait(WaitForm);
  const int before = other.pings;
  other.Ping();
  StepWait(WaitForm);  // step 65535: not a multiple of 7
  EXPECT_EQ(WaitForm->StepCount(), 65535);
  EXPECT_EQ(other.pings, before);
  StepWait(WaitForm);  // step 65536 counts as 0
  EXPECT_EQ(WaitForm->StepCount(), 0);
  EXPECT_EQ(other.pings, before + 1);
  CloseWait(WaitForm);
}

TEST(WaitWindow, TheAbortButtonAnswersClickEnterAndEsc) {
  for (const auto press : {VK_ESCAPE, VK_RETURN, 0}) {
    ShowWait(WaitForm, kText, 0, true, 1);
    TWaitForm& form = *WaitForm;
    EXPECT_TRUE(::IsWindowVisible(form.PrerusitBut()));
    EXPECT_EQ(WindowText(form.PrerusitBut()), "Přerušit");
    EXPECT_TRUE(IsAt(form.PrerusitBut(), 140, 80, 81, 26));
    EXPECT_EQ(form.WaitLbl(), nullptr);  // not made beside the button
    EXPECT_EQ(CursorOver(form.Handle()), ::LoadCursorW(nullptr, IDC_ARROW));
    if (press == VK_ESCAPE) TakeScreenshotIfWanted(form.Handle(), "wait-window-abort");
    EXPECT_FALSE(form.Aborted());
    if (press) {
      ::PostMessageW(::GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(press), 0);
    } else {
      test::PressButton(form.PrerusitBut());
    }
    StepWait(WaitForm);  // the window reacts when messages are pumped
    EXPECT_TRUE(form.Aborted()) << press;
    CloseWait(WaitForm);
  }
}

TEST(WaitWindow, ActivationGoesBackOnlyWhenNoOtherWindowTookItAndCaptureIsCancelled) {
  OtherWindow first;
  ::SetCapture(first.Handle());
  ShowWait(WaitForm, kText, 10, false, 1);
  EXPECT_EQ(::GetCapture(), nullptr);
  // Told to cancel while it still held the mouse (disabling it tells it again).
  EXPECT_TRUE(first.heldCaptureAtFirstCancel);

  OtherWindow second(260);  // opened and activated while the wait window is up
  EXPECT_EQ(::GetActiveWindow(), second.Handle());
  CloseWait(WaitForm);
  EXPECT_EQ(::GetActiveWindow(), second.Handle());
  EXPECT_TRUE(::IsWindowEnabled(first.Handle()));

  // An empty reference is accepted silently.
  StepWait(WaitForm);
  CloseWait(WaitForm);
  EXPECT_FALSE(WaitForm);
}

}  // namespace
}  // namespace tolvar
