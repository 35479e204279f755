// The message log and the front end every step of the program calls, with real
// dialogs worked by a robot on a second thread.
#include <gtest/gtest.h>

#include "dialogs/GMessDlg_win.h"
#include "dialogs/MessageDialogForm_win.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/Error.h"
#include "tests/support/Robot_win.h"
#include "tests/win32/DialogRobot_win.h"

namespace tolvar::test {
namespace {

using MessageBoxTest = DialogSettingsTest;

struct Seen {
  std::string title;
  HICON icon = nullptr;
  std::vector<std::string> buttons;
};

// Reads the dialog, then presses the first button (or the close box without one).
std::function<void(HWND)> ReadAndPressFirst(Seen& seen) {
  return [&seen](HWND dialog) {
    seen.title = WindowText(ControlOf(dialog, kTitleControlId));
    seen.icon = reinterpret_cast<HICON>(::SendMessageW(ControlOf(dialog, kIconControlId), STM_GETICON, 0, 0));
    seen.buttons = ChildTexts(dialog, "Button");
    if (seen.buttons.empty()) {
      PressCloseBox(dialog);
    } else {
      PressButton(FindButton(dialog, seen.buttons.front()));
    }
  };
}

// Counts the windows this thread creates while it lives.
class WindowCreationCounter {
 public:
  WindowCreationCounter() {
    count_ = 0;
    hook_ = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
  }
  ~WindowCreationCounter() { ::UnhookWindowsHookEx(hook_); }
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) ++count_;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline int count_ = 0;
  HHOOK hook_;
};

// While it lives, refuses the creation of every window of one class on this
// thread (as a system out of window resources would), and notes the message
// dialogs created and destroyed meanwhile.
class WindowRefusal {
 public:
  explicit WindowRefusal(const wchar_t* refusedClass) {
    refusedClass_ = refusedClass;
    created_.clear();
    destroyed_.clear();
    hook_ = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
  }
  ~WindowRefusal() { ::UnhookWindowsHookEx(hook_); }
  const std::vector<HWND>& CreatedDialogs() const { return created_; }
  const std::vector<HWND>& DestroyedDialogs() const { return destroyed_; }

 private:
  static bool OfClass(HWND window, const wchar_t* name) {
    wchar_t className[64] = {};
    return ::GetClassNameW(window, className, 64) > 0 && lstrcmpW(className, name) == 0;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && OfClass(window, refusedClass_)) return 1;  // CreateWindowEx fails
    if (code == HCBT_CREATEWND && OfClass(window, kMessageDialogClassName)) created_.push_back(window);
    if (code == HCBT_DESTROYWND && OfClass(window, kMessageDialogClassName)) destroyed_.push_back(window);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline const wchar_t* refusedClass_ = nullptr;
  static inline std::vector<HWND> created_;
  static inline std::vector<HWND> destroyed_;
  HHOOK hook_;
};

TEST_F(MessageBoxTest, ADialogThatCannotBeMadeRaisesAfterTheBusyCursorCameBack) {
  const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  const CursorOverrideScope busy(wait);
  const WindowRefusal refusal(kMessageDialogClassName);
  EXPECT_THROW(ShowErrorMessage("Zpráva", 0x0008), Error);
  EXPECT_EQ(Application::Instance().CursorOverride(), wait);
  EXPECT_TRUE(refusal.CreatedDialogs().empty());
}

TEST_F(MessageBoxTest, TheLogFreesItsDialogWhenAnExceptionPassesOutOfIt) {
  // A task link needs a window of its own; refused, it raises while the dialog
  // is being configured, after the dialog's window was made.
  TDialogRec record;
  const TMessageDlgButton task{"Vložit disk a pokračovat", "", 1, 6, true, false, false};
  BuildDialogRec(record, true, 1u << sbkBack, {}, std::span(&task, 1), 0, -1, 0, -1, {}, {}, 1);
  const TMessageLog log;
  const WindowRefusal refusal(L"TolvarLabelLink");  // the link label's window class
  EXPECT_THROW(log.ShowMessageDialog(mltConfirmation, "", "Zpráva", "", record), Error);
  ASSERT_EQ(refusal.CreatedDialogs().size(), 1u);
  EXPECT_EQ(refusal.DestroyedDialogs(), refusal.CreatedDialogs());
  EXPECT_FALSE(::IsWindow(refusal.CreatedDialogs().front()));
  EXPECT_TRUE(Application::Instance().TopLevelWindows().empty());
}

TEST_F(MessageBoxTest, ARecordThatShowsNoDialogReturnsZeroWithoutAWindow) {
  const TMessageLog log;
  TDialogRec record;
  BuildDialogRec(record, false, 0x0018, {}, {}, 0, 5000, sbkOk, -1, {}, {}, 1);
  const WindowCreationCounter windows;
  EXPECT_EQ(log.ShowMessageDialog(mltError, "", "Zpráva", "", record), 0);
  EXPECT_EQ(log.ShowMessageDialog(mltError, "", "Zpráva", "", TDialogRec{}), 0);
  EXPECT_EQ(windows.Count(), 0);
}

TEST_F(MessageBoxTest, TheLogGivesEachDialogItsWidthAndButtonModeAndNothingCarriesOver) {
  TMessageLog log;
  TDialogRec record;
  const TMessageDlgButton wide{"Overwrite all setup files now", "", 8, 6, false, false, false};
  BuildDialogRec(record, true, 1u << sbkOk, std::span(&wide, 1), {}, 0, -1, 0, -1, {}, {}, 1);
  const auto widths = [](HWND dialog) {
    RECT ok{}, frame{};
    ::GetWindowRect(ControlOf(dialog, IDOK), &ok);
    ::GetWindowRect(dialog, &frame);
    return std::pair{static_cast<int>(frame.right - frame.left), static_cast<int>(ok.right - ok.left)};
  };
  std::pair<int, int> first{}, second{};
  std::string title;
  EXPECT_EQ(WithDialogRobot(
                [&](HWND dialog) {
                  first = widths(dialog);
                  title = WindowText(ControlOf(dialog, kTitleControlId));
                  PressButton(ControlOf(dialog, 8));
                },
                [&] { return log.ShowMessageDialog(mltWarning, "", "Zpráva", "", record); }),
            8);
  log.SetDialogWidth(520);
  log.SetDialogButtsSameWidth(false);
  EXPECT_EQ(WithDialogRobot(
                [&](HWND dialog) {
                  second = widths(dialog);
                  PressButton(ControlOf(dialog, IDOK));
                },
                [&] { return log.ShowMessageDialog(mltWarning, "Vlastní titulek", "Zpráva", "", record); }),
            mrOk);
  EXPECT_EQ(title, "Varování");  // an empty title is the type's own
  EXPECT_EQ(first.first, 440);
  EXPECT_GT(first.second, 76);  // OK as wide as the long custom button
  EXPECT_EQ(second.first, 520);
  EXPECT_EQ(second.second, 76);  // OK at its natural width
}

TEST_F(MessageBoxTest, TitlesAndIconsOfTheTypes) {
  struct Case {
    TMsgBoxType type;
    const char* title;
    LPCWSTR icon;
  };
  const Case cases[] = {
      {mbtWarning, "Varování", IDI_EXCLAMATION},        {mbtError, "Chyba", IDI_HAND},
      {mbtInformation, "Informace", IDI_ASTERISK},      {mbtConfirmation, "Potvrďte", IDI_QUESTION},
      {mbtCustom, "Informace", IDI_ASTERISK},           {static_cast<TMsgBoxType>(7), "Informace", IDI_ASTERISK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    Seen seen;
    const auto result = WithDialogRobot(ReadAndPressFirst(seen), [&] {
      return ShowMessageBox("Zpráva", c.type, MsgBoxButtonBit(mbbOK), 0, -1, mbbOK);
    });
    EXPECT_EQ(seen.title, c.title);
    EXPECT_EQ(seen.icon, ::LoadIconW(nullptr, c.icon));
    EXPECT_EQ(result, mrOk);
  }
}

TEST_F(MessageBoxTest, ButtonSetsAsTheCallersGiveThem) {
  struct Case {
    TMsgBoxButtons buttons;
    std::vector<std::string> captions;
    std::uint16_t firstResult;
  };
  const Case cases[] = {
      {0, {"&Zavřít"}, mrClose},  // nothing asked for: Close
      {0x0008, {"Zpět"}, mrCancel},
      {0x000C, {"OK", "Zpět"}, mrOk},  // the disk prompt
      {0x0100, {"&Zavřít"}, mrClose},
      {0x0400, {"Po&kračovat"}, mrContinue},
      {0x0800, {}, mrCancel},  // no button at all: only the close box ends it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.buttons);
    Seen seen;
    const auto result = WithDialogRobot(ReadAndPressFirst(seen), [&] {
      return ShowMessageBox("Zpráva", mbtError, c.buttons, 0, -1, mbbOK);
    });
    EXPECT_EQ(seen.buttons, c.captions);
    EXPECT_EQ(result, c.firstResult);
  }
}

TEST_F(MessageBoxTest, BackEscAndTheCloseBoxAllReturnCancel) {
  const std::function<void(HWND)> ways[] = {
      [](HWND dialog) { PressButton(FindButton(dialog, "Zpět")); },
      [](HWND dialog) { PressKey(dialog, VK_ESCAPE); },
      [](HWND dialog) { PressCloseBox(dialog); },
  };
  for (const auto& way : ways) {
    EXPECT_EQ(WithDialogRobot(way, [] { return ShowErrorMessage("Chyba při spouštění průvodce instalací!", 0x0008); }),
              mrCancel);
  }
}

TEST_F(MessageBoxTest, WithoutButtonsEnterAndEscDoNothing) {
  bool stillOpen = false;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        PressKey(dialog, VK_RETURN);
        PressKey(dialog, VK_ESCAPE);
        stillOpen = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
        PressCloseBox(dialog);
      },
      [] { return ShowMessageBox("Zpráva", mbtError, 0x0800, 0, -1, mbbOK); });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, mrCancel);
}

TEST_F(MessageBoxTest, ACountdownOnOkPressesItWithoutTheUser) {
  std::string caption;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        caption = WindowText(ControlOf(dialog, IDOK));
        clock_.Advance(2000);  // the deadline: the timer's next tick presses OK
      },
      [] { return ShowMessageBox("Zpráva", mbtInformation, 0x0004, 0, 2000, mbbOK); });
  EXPECT_EQ(caption, "OK [2 s]");
  EXPECT_EQ(result, mrOk);
}

TEST_F(MessageBoxTest, ContinueNeverCarriesACountdown) {
  std::string caption;
  bool stillOpen = false;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        const HWND button = ControlOf(dialog, mrContinue);
        caption = WindowText(button);
        clock_.Advance(1500);
        TickCountdown(dialog);
        stillOpen = ::IsWindowVisible(dialog) != FALSE;
        PressButton(button);
      },
      [] { return ShowMessageBox("Zpráva", mbtInformation, 0x0400, 0, 1000, mbbContinue); });
  EXPECT_EQ(caption, "Po&kračovat");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, mrContinue);
}

TEST_F(MessageBoxTest, ABusyCursorGivesWayWhileTheDialogIsOpenAndComesBack) {
  // The robot asks the test thread, through the application window, which
  // cursor is forced while the dialog is open.
  constexpr UINT kAskCursor = WM_APP + 40;
  HCURSOR during = reinterpret_cast<HCURSOR>(1);
  Application& application = Application::Instance();
  const int hook = application.AddMainWindowHook([&](UINT message, WPARAM, LPARAM) {
    if (message == kAskCursor) during = application.CursorOverride();
    return message == kAskCursor;
  });
  const HWND applicationWindow = application.ApplicationWindow();
  const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  {
    const CursorOverrideScope busy(wait);
    WithDialogRobot(
        [&](HWND dialog) {
          ::SendMessageW(applicationWindow, kAskCursor, 0, 0);
          PressButton(FindButton(dialog, "Zpět"));
        },
        [] { return ShowErrorMessage("Zpráva", 0x0008); });
    EXPECT_EQ(application.CursorOverride(), wait);
  }
  application.RemoveMainWindowHook(hook);
  EXPECT_EQ(during, nullptr);  // each window's own cursor: the arrow, and hands on the links
}

}  // namespace
}  // namespace tolvar::test
