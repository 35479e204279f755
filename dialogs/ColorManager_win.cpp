#include "dialogs/ColorManager_win.h"

#include "platform/Application_win.h"
#include "platform/DllSafety_win.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

struct ActiveTheme {
  bool active = false;
  std::string fileName;
  std::string colorScheme;
};

// Asks the visual-style library, when the system has one, which style is active.
ActiveTheme ReadActiveTheme() {
  ActiveTheme theme;
  const UniqueModule uxtheme = LoadSystemLibrary(L"uxtheme.dll");
  if (!uxtheme) return theme;
  using IsThemeActiveFn = BOOL(WINAPI*)();
  using GetCurrentThemeNameFn = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
  const auto isThemeActive =
      reinterpret_cast<IsThemeActiveFn>(reinterpret_cast<void*>(::GetProcAddress(uxtheme.get(), "IsThemeActive")));
  const auto getCurrentThemeName = reinterpret_cast<GetCurrentThemeNameFn>(
      reinterpret_cast<void*>(::GetProcAddress(uxtheme.get(), "GetCurrentThemeName")));
  if (!isThemeActive || !getCurrentThemeName || !isThemeActive()) return theme;
  wchar_t fileName[MAX_PATH] = {};
  wchar_t colorScheme[MAX_PATH] = {};
  if (FAILED(getCurrentThemeName(fileName, MAX_PATH, colorScheme, MAX_PATH, nullptr, 0))) return theme;
  theme.active = true;
  theme.fileName = Utf16ToUtf8(fileName);
  theme.colorScheme = Utf16ToUtf8(colorScheme);
  return theme;
}

// GetSysColor gives 0x00BBGGRR, the layout TColor uses.
TColor SystemRgb(int index) { return static_cast<TColor>(::GetSysColor(index)); }

}  // namespace

ColorEnvironment ReadColorEnvironment() {
  ColorEnvironment environment;
  environment.highlight = SystemRgb(COLOR_HIGHLIGHT);
  environment.buttonFace = SystemRgb(COLOR_BTNFACE);
  environment.buttonShadow = SystemRgb(COLOR_BTNSHADOW);
  environment.window = SystemRgb(COLOR_WINDOW);
  environment.grayText = SystemRgb(COLOR_GRAYTEXT);
  {
    const HWND desktop = ::GetDesktopWindow();
    const WindowDC dc(desktop);
    environment.bitsPerPixel = dc.get() ? ::GetDeviceCaps(dc.get(), BITSPIXEL) : 32;
  }
  const ActiveTheme theme = ReadActiveTheme();
  environment.themeActive = theme.active;
  environment.themeFileName = theme.fileName;
  environment.colorSchemeName = theme.colorScheme;
  return environment;
}

void TColorsRec::Refresh() { colors_ = ComputeInterfaceColors(ReadColorEnvironment()); }

TColorManager::TColorManager() {
  hookId_ = Application::Instance().AddMainWindowHook(
      [this](UINT message, WPARAM, LPARAM) { return HandleApplicationMessage(message); });
}

TColorManager::~TColorManager() { Application::Instance().RemoveMainWindowHook(hookId_); }

bool TColorManager::HandleApplicationMessage(UINT message) {
  if (message == WM_THEMECHANGED) {
    colors_.Refresh();
    if (onThemeChange_) onThemeChange_(*this);
  }
  return false;  // the application's own processing stays unchanged
}

}  // namespace tolvar
