#include "platform/Window_win.h"

#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Dpi_win.h"
#include "platform/Error.h"
#include "platform/Utf.h"

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

void Window::CreateWindowObject(const ClassSpec& windowClass, const CreateSpec& params) {
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
    if (!::RegisterClassExW(&wc)) throw Error("cannot register a window class");
  }

  const bool topLevel = (params.style & WS_CHILD) == 0;
  tracked_ = topLevel && params.countsAsProgramWindow;
  // A child has its parent's DPI; a top-level window starts at the system's and
  // learns its monitor's once it exists.
  dpi_ = params.parent ? DpiScaleOf(params.parent) : DpiScale::Of(SystemDpi());
  const auto position = [this](int designed) { return designed == CW_USEDEFAULT ? designed : dpi_.Scale(designed); };
  const RECT frame = FrameForClient({0, 0, dpi_.Scale(params.clientWidth), dpi_.Scale(params.clientHeight)},
                                    params.style, params.exStyle, dpi_.dpi);
  const HWND created = ::CreateWindowExW(params.exStyle, windowClass.name, Utf8ToUtf16(params.caption).c_str(), params.style,
                                         position(params.left), position(params.top), frame.right - frame.left,
                                         frame.bottom - frame.top, params.parent, nullptr, instance, this);
  // A handler that failed during creation: its exception goes on from here.
  Application::Instance().RethrowPendingException();
  if (!created) throw Error("cannot create a window");
  if (topLevel && hwnd_) {
    const DpiScale actual = DpiScale::Of(WindowDpi(hwnd_));
    if (actual != dpi_) {
      dpi_ = actual;
      SetClientSize(dpi_.Scale(params.clientWidth), dpi_.Scale(params.clientHeight));
    }
  }
}

void Window::SetClientSize(int width, int height) {
  if (!hwnd_) return;
  const RECT frame = FrameForClient({0, 0, width, height}, static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                                    static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_.dpi);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT Window::SetDialogFont(const wchar_t* face, int points, const std::vector<HWND>& controls, int weight) {
  UniqueFont font = CreateFontByHeight(face, dpi_.FontHeight(points), weight);
  // The controls take the new font before the one they show now goes.
  for (const HWND control : controls) {
    if (control) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  }
  return KeepFont(std::move(font));
}

HFONT Window::KeepFont(UniqueFont font) {
  font_ = std::move(font);
  return font_.get();
}

void Window::SetDpi(const DpiScale& scale) {
  if (scale == dpi_) return;
  dpi_ = scale;
  OnDpiChanged(nullptr);
}

void Window::OnDpiChanged(const RECT* suggested) {
  if (!suggested || !hwnd_) return;
  ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DPICHANGED && lParam) {
    // The window moved to a monitor of another DPI, or the user changed the scale.
    dpi_ = DpiScale::Of(HIWORD(wParam));
    OnDpiChanged(reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
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
    if (self->tracked_) Application::Instance().AddTopLevelWindow(self);
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
    if (self->tracked_) Application::Instance().RemoveTopLevelWindow(self);
    self->hwnd_ = nullptr;
    self->OnDestroyed();
  }
  return result;
}

Window* WindowFromHandle(HWND hwnd) {
  return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kObjectProperty)) : nullptr;
}

}  // namespace tolvar
