#include "platform/Window_win.h"

#include "platform/Application_win.h"
#include "platform/Text.h"

namespace tolvar {
namespace {

// Marks our windows so that WindowFromHandle never misreads a foreign window's data.
constexpr wchar_t kObjectProperty[] = L"TolvarWindowObject";

}  // namespace

Window::~Window() { Destroy(); }

void Window::Destroy() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Window::PreTranslateMessage(MSG&) { return false; }

void Window::CenterOnScreen() {
  if (!hwnd_) return;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{};
  ::GetWindowRect(hwnd_, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Window::CreateWindowObject(const ClassSpec& windowClass, const CreateSpec& params) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExW(instance, windowClass.name, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = windowClass.style;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.hIcon = windowClass.icon;
    wc.lpszClassName = windowClass.name;
    if (!::RegisterClassExW(&wc)) return false;
  }

  RECT frame{0, 0, params.clientWidth, params.clientHeight};
  ::AdjustWindowRectEx(&frame, params.style, FALSE, params.exStyle);
  topLevel_ = (params.style & WS_CHILD) == 0;
  const HWND created = ::CreateWindowExW(params.exStyle, windowClass.name, Utf8ToUtf16(params.caption).c_str(), params.style,
                                         params.left, params.top, frame.right - frame.left, frame.bottom - frame.top,
                                         params.parent, nullptr, instance, this);
  // A handler that failed during creation: its exception goes on from here.
  Application::Instance().RethrowPendingException();
  return created != nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
    // The application-wide cursor override wins over every control's own cursor.
    if (const HCURSOR forced = Application::Instance().CursorOverride()) {
      ::SetCursor(forced);
      return TRUE;
    }
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProperty, self);
    if (self->topLevel_) Application::Instance().AddTopLevelWindow(self);
  } else {
    self = WindowFromHandle(hwnd);
  }
  if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // An exception must not unwind through the system's frames that called this
    // procedure: the message loop that dispatched the message ends and rethrows
    // it. A window whose creation failed so is not made.
    Application::Instance().KeepPendingException(std::current_exception());
    result = message == WM_CREATE ? -1 : 0;
  }
  if (message == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kObjectProperty);
    if (self->topLevel_) Application::Instance().RemoveTopLevelWindow(self);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

Window* WindowFromHandle(HWND hwnd) {
  return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

}  // namespace tolvar
