#include "tests/support/RobotInput_win.h"

#include "dialogs/MessageDialogForm_win.h"

namespace tolvar::test {

bool IsMessageDialog(HWND window) {
  wchar_t name[64];
  return ::IsWindowVisible(window) && ::GetClassNameW(window, name, 64) > 0 &&
         lstrcmpW(name, kMessageDialogClassName) == 0;
}

void WaitUntilServed(HWND window) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
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

void PressAltKey(HWND dialog, UINT virtualKey) {
  const HWND focus = FocusOf(dialog);
  const HWND target = focus ? focus : dialog;
  const auto keyData = [](UINT key, bool up) {
    constexpr LPARAM kAltHeld = 1LL << 29;  // the context code of a system key
    LPARAM data = 1 | static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (key != VK_MENU || !up) data |= kAltHeld;
    if (up) data |= (1LL << 30) | (1LL << 31);
    return data;
  };
  ::PostMessageW(target, WM_SYSKEYDOWN, VK_MENU, keyData(VK_MENU, false));
  ::PostMessageW(target, WM_SYSKEYDOWN, virtualKey, keyData(virtualKey, false));
  ::PostMessageW(target, WM_SYSKEYUP, virtualKey, keyData(virtualKey, true));
  ::PostMessageW(target, WM_KEYUP, VK_MENU, keyData(VK_MENU, true));
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

namespace {

// Sends one mouse event at a screen point, in the absolute coordinates SendInput takes.
void MouseAt(POINT screen, DWORD flags) {
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + width / 2) / width);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + height / 2) / height);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
  ::SendInput(1, &input, sizeof input);
}

}  // namespace

namespace {

// Whether the thread that owns `window` is in the system's move-or-size loop.
bool InMoveSize(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

}  // namespace

void DragWindowEdge(HWND window, int hitTest, int dx, int dy) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  POINT at{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
  if (hitTest == HTBOTTOM) at.y = frame.bottom - 2;
  if (hitTest == HTRIGHT) at.x = frame.right - 2;
  MouseAt(at, 0);
  ::Sleep(100);
  MouseAt(at, MOUSEEVENTF_LEFTDOWN);
  // The sizing loop reads the button's state when it starts: on a busy machine the
  // window's thread may come to the press only after a release sent too early,
  // and the drag would be lost. The moves and the release wait for the loop.
  WaitUntil([&] { return InMoveSize(window); }, 5000);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step) {
    MouseAt(POINT{at.x + dx * step / kSteps, at.y + dy * step / kSteps}, 0);
    ::Sleep(50);
  }
  MouseAt(POINT{at.x + dx, at.y + dy}, MOUSEEVENTF_LEFTUP);
  WaitUntil([&] { return !InMoveSize(window); }, 5000);
  ::Sleep(100);
}

COLORREF PixelAt(HWND window, POINT point) {
  const HDC dc = ::GetDC(window);
  const COLORREF color = ::GetPixel(dc, point.x, point.y);
  ::ReleaseDC(window, dc);
  return color;
}

}  // namespace tolvar::test
