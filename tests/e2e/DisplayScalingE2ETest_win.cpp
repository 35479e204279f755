// Tolvar.exe and the dialog showcase as a user meets them at 150 % and 200 %:
// the prefix's display scale is set, the programs are started, and the robot
// measures their windows from outside, as the system shows them.
#include <gtest/gtest.h>

#include "dialogs/MessageDialogForm_win.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/DpiScale.h"
#include "platform/Registry_win.h"
#include "platform/Utf.h"
#include "tests/e2e/E2EMedium_win.h"
#include "tests/support/DisplayScale_win.h"
#include "tests/support/RegistrySnapshot_win.h"
#include "tests/support/RobotInput_win.h"
#include "tests/support/Robot_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kRunLimitMs = 60000;

SIZE ClientOf(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return {client.right, client.bottom};
}

RECT PlaceIn(HWND parent, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Dims(long width, long height) { return IntToStr(width) + "x" + IntToStr(height); }

// The dialogs' settings come back as they were.
class DisplayScalingE2E : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kMessageDialogSetupKey);  // the details pane starts closed
    ::SetCursorPos(2, 2);                                       // and the pointer off the links
  }
  RegistryKeySnapshot settings_{HKEY_CURRENT_USER, kMessageDialogSetupKey};
  DpiScale Scale() const { return DpiScale::Of(GetParam()); }
  std::string Shot(const std::string& name) const { return "dpi" + IntToStr(GetParam()) + "-" + name; }
};

TEST_P(DisplayScalingE2E, TheProgressWindowAndTheMessageAboveItAreScaled) {
  const DpiScale s = Scale();
  E2EMedium medium("e2e display scale");  // no archive: its message stands above the progress window
  const DisplayScaleOverride scale(s.dpi);
  auto tolvar = medium.StartTolvar();
  ASSERT_TRUE(tolvar);
  const auto dialog = WaitForWindow(tolvar->Id(), [](HWND window) {
    return IsMessageDialog(window) && ShowsText(window, "Archivní soubor nenalezen.");
  });
  ASSERT_TRUE(dialog) << "no message";
  WaitUntilServed(*dialog);
  const auto progress =
      WaitForWindow(tolvar->Id(), [](HWND window) { return WindowText(window) == "Instalace Ledgero"; });
  ASSERT_TRUE(progress) << "no progress window";
  TakeScreenshotIfWanted(nullptr, Shot("unpack-archive-missing"));

  // 349 x 96 at 100 %: about 523 x 144 at 150 %.
  const SIZE client = ClientOf(*progress);
  EXPECT_EQ(Dims(client.cx, client.cy), Dims(s.Scale(349), s.Scale(96)));
  RECT frame{};
  ::GetWindowRect(*progress, &frame);
  EXPECT_EQ(frame.left, DesignedOrOnScreen(s.Scale(283), frame.right - frame.left, true));
  EXPECT_EQ(frame.top, DesignedOrOnScreen(s.Scale(103), frame.bottom - frame.top, false));
  for (const HWND child : ChildWindows(*progress)) {
    const RECT place = PlaceIn(*progress, child);
    EXPECT_EQ(place.left, s.Scale(10)) << ClassName(child);
    EXPECT_EQ(place.right - place.left, s.Scale(331)) << ClassName(child);
  }

  // The message dialog: 440 pixels wide at 100 %, about 660 at 150 %.
  RECT dialogFrame{};
  ::GetWindowRect(*dialog, &dialogFrame);
  EXPECT_EQ(dialogFrame.right - dialogFrame.left, s.Scale(440));
  const HWND back = FindButton(*dialog, "Zpět");
  ASSERT_TRUE(back);
  const RECT button = PlaceIn(*dialog, back);
  EXPECT_EQ(Dims(button.right - button.left, button.bottom - button.top), Dims(s.Scale(76), s.Scale(25)));
  EXPECT_EQ(button.right, ClientOf(*dialog).cx - s.Scale(5) - s.Scale(15));
  const RECT icon = PlaceIn(*dialog, ControlOf(*dialog, kIconControlId));
  EXPECT_EQ(Dims(icon.right - icon.left, icon.bottom - icon.top), Dims(s.Scale(32), s.Scale(32)));

  // Then the copy failure, and the end.
  PressButton(back);
  const auto second = WaitForWindow(tolvar->Id(), [](HWND window) {
    return IsMessageDialog(window) &&
           ShowsText(window, "Chyba při kopírování průvodce instalací do systémového adresáře Windows!");
  });
  ASSERT_TRUE(second);
  PressButton(FindButton(*second, "Zpět"));
  ASSERT_TRUE(tolvar->Wait(kRunLimitMs));
}

// The showcase's richest dialogs, for the eye (scripts/screenshots.sh) and for
// their width: task links with the details pane, and the tree.
TEST_P(DisplayScalingE2E, TheShowcaseDialogsAreScaled) {
  const DpiScale s = Scale();
  const DisplayScaleOverride scale(s.dpi);
  const std::string program = TestProgramFolder() + "dialogdemo.exe";
  for (const char* scenario : {"tasks", "tree"}) {
    SCOPED_TRACE(scenario);
    auto demo = ChildProcess::Start(program, "\"" + program + "\" " + scenario);
    ASSERT_TRUE(demo);
    const auto dialog = WaitForWindow(demo->Id(), IsMessageDialog);
    ASSERT_TRUE(dialog);
    WaitUntilServed(*dialog);
    RECT frame{};
    ::GetWindowRect(*dialog, &frame);
    EXPECT_EQ(frame.right - frame.left, s.Scale(440));
    const HWND details = ControlOf(*dialog, kDetailsLabelControlId);
    ClickControl(details);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(ControlOf(*dialog, kDetailMessageControlId)) != FALSE; }));
    TakeScreenshotIfWanted(*dialog, Shot(std::string("dialog-") + scenario + "-details-open"));
    PressCloseBox(*dialog);
    ASSERT_TRUE(demo->Wait(kRunLimitMs));
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, DisplayScalingE2E, ::testing::Values(144, 192),
                         [](const ::testing::TestParamInfo<int>& param) { return "Dpi" + IntToStr(param.param); });

}  // namespace
}  // namespace tolvar::test
