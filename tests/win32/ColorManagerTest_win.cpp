// The colour manager on the real system colours, and its theme-change hook on
// the application window.
#include "dialogs/ColorManager_win.h"

#include <gtest/gtest.h>

#include "platform/Application_win.h"

namespace tolvar {
namespace {

TEST(ColorManager, ComputesTheColoursAndRefreshesThemOnAThemeChange) {
  const COLORREF saved = ::GetSysColor(COLOR_HIGHLIGHT);
  const INT element = COLOR_HIGHLIGHT;
  int notified = 0;
  {
    TColorManager manager;
    manager.SetOnThemeChange([&](TColorManager& sender) {
      EXPECT_EQ(&sender, &manager);
      ++notified;
    });
    EXPECT_EQ(manager.Colors().Color(7), Rgb(193, 191, 180));  // the desktop has more than 8 bits per pixel
    EXPECT_EQ(manager.Colors().Color(16), Rgb(242, 240, 228));
    EXPECT_EQ(manager.Colors().SeparatorColor(),
              MixWithWhite20(MixWithWhite20(MixWithWhite20(manager.Colors().Color(9)))));

    const COLORREF black = RGB(0, 0, 0);
    ::SetSysColors(1, &element, &black);
    EXPECT_NE(manager.Colors().SeparatorColor(), Rgb(125, 125, 125));  // computed at creation, not on demand
    ::SendMessageW(Application::Instance().ApplicationWindow(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(notified, 0);  // only the theme-changed notification counts
    ::SendMessageW(Application::Instance().ApplicationWindow(), WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(manager.Colors().Color(9), Rgb(0, 0, 0));  // no visual style here: the highlight colour
    EXPECT_EQ(manager.Colors().SeparatorColor(), Rgb(125, 125, 125));
  }
  ::SetSysColors(1, &element, &saved);
  // A manager that is gone hears nothing more.
  ::SendMessageW(Application::Instance().ApplicationWindow(), WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(notified, 1);
}

}  // namespace
}  // namespace tolvar
