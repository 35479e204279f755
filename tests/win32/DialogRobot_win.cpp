#include "tests/win32/DialogRobot_win.h"

#include "dialogs/MessageDialogForm_win.h"
#include "tests/support/Robot_win.h"

namespace tolvar::test {

bool IsMessageDialog(HWND window) {
  wchar_t name[64];
  return ::IsWindowVisible(window) && ::GetClassNameW(window, name, 64) > 0 &&
         lstrcmpW(name, kMessageDialogClassName) == 0;
}

DialogRobot::DialogRobot(std::function<void(HWND)> work) : work_(std::move(work)) {
  thread_ = std::thread([this] {
    const auto dialog = WaitForWindow(::GetCurrentProcessId(), IsMessageDialog, 15000);
    if (dialog) {
      found_ = true;
      // Answered once the dialog's modal loop runs, that is after it has set its
      // focus and started its countdown.
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(*dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
      work_(*dialog);
      if (!WaitUntil([&] { return !::IsWindowVisible(*dialog); }, 30000)) PressCloseBox(*dialog);
    }
    done_ = true;
  });
}

DialogRobot::~DialogRobot() {
  // The robot may be reading a control of a dialog that has just closed.
  while (!done_) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    ::Sleep(10);
  }
  thread_.join();
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(20);
  }
}

HWND ControlOf(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
  return info.hwndFocus;
}

RECT BoundsOf(HWND control) {
  RECT bounds{};
  ::GetWindowRect(control, &bounds);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

SIZE ClientSizeOf(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

void PressKey(HWND dialog, UINT virtualKey) {
  const HWND focus = FocusOf(dialog);
  const HWND target = focus ? focus : dialog;
  const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | scan);
  ::PostMessageW(target, WM_KEYUP, virtualKey, 1 | scan | (1LL << 30) | (1LL << 31));
}

void ClickAt(HWND window, POINT point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(window, WM_LBUTTONUP, 0, at);
}

void ClickControl(HWND control) {
  const SIZE size = ClientSizeOf(control);
  ClickAt(control, POINT{size.cx / 2, size.cy / 2});
}

COLORREF PixelAt(HWND window, POINT point) {
  const HDC dc = ::GetDC(window);
  const COLORREF color = ::GetPixel(dc, point.x, point.y);
  ::ReleaseDC(window, dc);
  return color;
}

}  // namespace tolvar::test
