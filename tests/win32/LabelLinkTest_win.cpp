// The link label with the real pointer: the system cursor is moved over the
// label and away, and clicks arrive as mouse messages.
#include "dialogs/LabelLinkCtrl_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/Application_win.h"
#include "tests/support/DestroyWatch_win.h"
#include "tests/win32/DialogRobot_win.h"

namespace tolvar::test {
namespace {

class Surface : public Window {
 public:
  Surface() {
    ClassSpec windowClass;
    windowClass.name = L"TolvarLinkTestSurface";
    CreateSpec params;
    params.style = WS_POPUP | WS_VISIBLE;
    params.exStyle = WS_EX_TOPMOST;
    params.left = 100;
    params.top = 100;
    params.clientWidth = 400;
    params.clientHeight = 300;
    CreateWindowObject(windowClass, params);
  }
};

void Pump(DWORD milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  do {
    Application::Instance().ProcessMessages();
    ::Sleep(10);
  } while (::GetTickCount64() < end);
}

bool PumpUntil(const std::function<bool()>& condition) {
  const ULONGLONG end = ::GetTickCount64() + 3000;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    Pump(20);
  }
  return true;
}

// The pointer enters the label and rests on it, as the mouse would move it.
void PointerOver(const TLabelLink& label) {
  RECT bounds{};
  ::GetWindowRect(label.Handle(), &bounds);
  ::SetCursorPos(bounds.left + 3, bounds.top + 3);
  ::PostMessageW(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  Pump(100);
}

void PointerAway() {
  ::SetCursorPos(5, 5);
  Pump(100);
}

void Click(const TLabelLink& label) {
  ClickAt(label.Handle(), POINT{3, 3});
  Pump(50);
}

void DoubleClick(const TLabelLink& label) {
  const LPARAM at = MAKELPARAM(3, 3);
  ::PostMessageW(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(label.Handle(), WM_LBUTTONUP, 0, at);
  ::PostMessageW(label.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  ::PostMessageW(label.Handle(), WM_LBUTTONUP, 0, at);
  Pump(50);
}

struct Counts {
  int clicks = 0;
  int doubleClicks = 0;
  int executions = 0;
};

void Count(TLabelLink& label, Counts& counts) {
  label.SetOnClick([&counts](TLabelLink&) { ++counts.clicks; });
  label.SetOnDblClick([&counts](TLabelLink&) { ++counts.doubleClicks; });
  label.SetOnLinkLabelExecute([&counts](TLabelLink&) { ++counts.executions; });
}

const char kLongCaption[] = "Vybrat jinou složku, ze které se načtou soubory instalace";

TEST(LabelLink, ItsFontIsStillThereWhileItsWindowIsDestroyed) {
  Surface surface;
  auto label = std::make_unique<TLabelLink>(surface.Handle(), 10, 10, 200, 20);
  label->SetCaption("Vložit disk a pokračovat");
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(label->Handle(), WM_GETFONT, 0, 0));
  ASSERT_TRUE(IsLiveFont(font));
  const FontAtTeardown teardown = DestroyWatchingFont(label, font);
  EXPECT_TRUE(teardown.windowDestroyed);
  EXPECT_TRUE(teardown.liveWhileDestroyed);
  EXPECT_FALSE(teardown.liveAfter);
}

TEST(LabelLink, AfterCreationALinkWithHotTracking) {
  Surface surface;
  TLabelLink label(surface.Handle(), 10, 10, 100, 19);
  EXPECT_TRUE(label.LinkEnabled());
  EXPECT_TRUE(label.HotTrack());
  EXPECT_FALSE(label.Hovering());
  EXPECT_EQ(label.MaxWidth(), 0);
  EXPECT_EQ(label.HotTrackFont(), LabelFont{});
}

TEST(LabelLink, HoveringShowsTheHotTrackFontRewrapsAndLeavingRestores) {
  Surface surface;
  TLabelLink label(surface.Handle(), 10, 10, 100, 19);
  label.SetCaption(kLongCaption);
  const LabelFont normal{.name = L"Tahoma", .height = -11, .color = RGB(7, 74, 229)};
  label.SetFont(normal);
  LabelFont hot = normal;
  hot.height = -20;
  hot.underline = true;
  label.SetHotTrackFont(hot);
  label.SetMaxWidth(200);
  const SIZE wrapped = ClientSizeOf(label.Handle());
  const int lineHeight = [&] {
    TLabelLink word(surface.Handle(), 10, 200, 100, 19);
    word.SetFont(normal);
    word.SetCaption("Vybrat");
    return word.TextHeight(200);
  }();
  EXPECT_EQ(wrapped.cx, 200);
  EXPECT_GE(wrapped.cy, 2 * lineHeight);  // the caption needs several lines at 200 pixels
  EXPECT_EQ(wrapped.cy % lineHeight, 0);

  Counts counts;
  Count(label, counts);
  PointerOver(label);
  ASSERT_TRUE(label.Hovering());
  EXPECT_EQ(label.Font(), hot);
  EXPECT_GT(ClientSizeOf(label.Handle()).cy, wrapped.cy);  // the larger hover font needs more lines
  EXPECT_EQ(ClientSizeOf(label.Handle()).cx, 200);
  Click(label);
  EXPECT_EQ(counts.clicks, 1);
  EXPECT_EQ(counts.executions, 1);  // with hot tracking a single click executes

  PointerAway();
  EXPECT_TRUE(PumpUntil([&] { return !label.Hovering(); }));
  EXPECT_EQ(label.Font(), normal);
  EXPECT_EQ(ClientSizeOf(label.Handle()).cy, wrapped.cy);
}

TEST(LabelLink, FontChangesWhileHoveringAreKeptOnlyWhenAWholeFontIsAssigned) {
  Surface surface;
  TLabelLink label(surface.Handle(), 10, 10, 200, 19);
  label.SetCaption("Ukončit instalaci");
  label.SetMaxWidth(200);
  const LabelFont normal{.name = L"Tahoma", .height = -11};
  label.SetFont(normal);
  label.SetHotTrackFont(LabelFont{.name = L"Tahoma", .height = -11, .underline = true});

  PointerOver(label);
  ASSERT_TRUE(label.Hovering());
  label.ChangeFont([](LabelFont& font) { font.bold = true; });  // one property of the shown font
  EXPECT_TRUE(label.Font().bold);
  PointerAway();
  ASSERT_TRUE(PumpUntil([&] { return !label.Hovering(); }));
  EXPECT_EQ(label.Font(), normal);  // the earlier normal font

  PointerOver(label);
  ASSERT_TRUE(label.Hovering());
  const LabelFont assigned{.name = L"Tahoma", .height = -13, .italic = true};
  label.SetFont(assigned);
  PointerAway();
  ASSERT_TRUE(PumpUntil([&] { return !label.Hovering(); }));
  EXPECT_EQ(label.Font(), assigned);

  // Without hovering, a property change is the new normal font.
  label.ChangeFont([](LabelFont& font) { font.color = RGB(200, 0, 0); });
  PointerOver(label);
  PointerAway();
  ASSERT_TRUE(PumpUntil([&] { return !label.Hovering(); }));
  EXPECT_EQ(label.Font().color, RGB(200, 0, 0));
}

TEST(LabelLink, WithoutHotTrackingADoubleClickExecutes) {
  Surface surface;
  TLabelLink label(surface.Handle(), 10, 10, 200, 19);
  label.SetCaption("Zobrazit protokol");
  label.SetHotTrack(false);
  const LabelFont before = label.Font();
  Counts counts;
  Count(label, counts);
  PointerOver(label);
  EXPECT_FALSE(label.Hovering());
  EXPECT_EQ(label.Font(), before);
  Click(label);
  EXPECT_EQ(counts.clicks, 1);
  EXPECT_EQ(counts.executions, 0);
  DoubleClick(label);
  EXPECT_EQ(counts.doubleClicks, 1);
  EXPECT_EQ(counts.executions, 1);
  PointerAway();
}

TEST(LabelLink, ALinkThatIsNotEnabledOrALabelThatIsDisabledNeverExecutes) {
  Surface surface;
  for (const bool viaLinkEnabled : {true, false}) {
    SCOPED_TRACE(viaLinkEnabled);
    TLabelLink label(surface.Handle(), 10, 10, 200, 19);
    label.SetCaption("Ukončit instalaci");
    label.SetMaxWidth(200);
    label.SetHotTrackFont(LabelFont{.underline = true});
    if (viaLinkEnabled) {
      label.SetLinkEnabled(false);
    } else {
      ::EnableWindow(label.Handle(), FALSE);
    }
    Counts counts;
    Count(label, counts);
    PointerOver(label);
    if (viaLinkEnabled) {
      EXPECT_FALSE(label.Hovering());  // a link that is not enabled does not hover
    }
    Click(label);
    DoubleClick(label);
    label.SetHotTrack(false);
    DoubleClick(label);
    EXPECT_EQ(counts.executions, 0);
    PointerAway();
  }
}

}  // namespace
}  // namespace tolvar::test
