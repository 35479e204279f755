#include "platform/Dpi_win.h"

#include "platform/Handle_win.h"
#include "platform/Window_win.h"

namespace tolvar {
namespace {

// A user32 function that older systems lack, or nullptr.
template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)();
using GetAwarenessFromDpiAwarenessContextFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using IsProcessDPIAwareFn = BOOL(WINAPI*)();
using SetProcessDPIAwareFn = BOOL(WINAPI*)();

int ScreenDpi() {
  const WindowDC screen(nullptr);
  return screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kDesignDpi;
}

int CurrentAwareness() {
  const auto getContext = User32Function<GetThreadDpiAwarenessContextFn>("GetThreadDpiAwarenessContext");
  const auto awarenessOf = User32Function<GetAwarenessFromDpiAwarenessContextFn>("GetAwarenessFromDpiAwarenessContext");
  if (getContext && awarenessOf) return static_cast<int>(awarenessOf(getContext()));
  const auto isAware = User32Function<IsProcessDPIAwareFn>("IsProcessDPIAware");
  return isAware && isAware() ? DPI_AWARENESS_SYSTEM_AWARE : DPI_AWARENESS_UNAWARE;
}

}  // namespace

int SystemDpi() {
  static const GetDpiForSystemFn getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  const int dpi = getDpiForSystem ? static_cast<int>(getDpiForSystem()) : ScreenDpi();
  return DpiScale::Of(dpi).dpi;
}

int WindowDpi(HWND window) {
  static const GetDpiForWindowFn getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

DpiScale DpiScaleOf(HWND window) {
  if (const Window* own = WindowFromHandle(window)) return own->Dpi();
  return DpiScale::Of(WindowDpi(window));
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD exStyle, int dpi) {
  static const AdjustWindowRectExForDpiFn adjustForDpi =
      User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT frame = client;
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    frame = client;
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  return frame;
}

int EnsureDpiAwareness() {
  if (CurrentAwareness() != DPI_AWARENESS_UNAWARE) return CurrentAwareness();
  if (const auto setContext = User32Function<SetProcessDpiAwarenessContextFn>("SetProcessDpiAwarenessContext")) {
    if (!setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  }
  if (CurrentAwareness() == DPI_AWARENESS_UNAWARE) {
    if (const auto setAware = User32Function<SetProcessDPIAwareFn>("SetProcessDPIAware")) setAware();
  }
  return CurrentAwareness();
}

}  // namespace tolvar
