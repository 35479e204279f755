#include "platform/ApplicationWindow_win.h"

#include "platform/Application_win.h"

namespace tolvar {

ApplicationWindow::ApplicationWindow(const std::string& title) {
  // Not message-only: such a window would miss the broadcasts. It is no program
  // window either, so it never becomes the main window nor keeps Run going.
  CreateWindowObject({.name = L"TolvarApplication", .style = 0, .background = nullptr},
                     {.caption = title, .style = WS_POPUP, .exStyle = WS_EX_TOOLWINDOW, .left = 0, .top = 0,
                      .countsAsProgramWindow = false});
}

LRESULT ApplicationWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (Application::Instance().RunMainWindowHooks(message, wParam, lParam)) return 0;
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace tolvar
