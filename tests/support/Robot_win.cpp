#include "tests/support/Robot_win.h"

#include <vector>

#include "platform/Utf.h"
#include "tests/support/Scratch_win.h"

namespace tolvar::test {
namespace {

std::uint64_t ToUnits(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::string& program, const std::string& commandLine,
                                                const std::string& workingFolder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = Utf8ToUtf16(commandLine);
  const std::wstring folder = Utf8ToUtf16(workingFolder);
  if (!::CreateProcessW(Utf8ToUtf16(program).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return std::nullopt;
  }
  ::CloseHandle(info.hThread);
  ChildProcess child;
  child.process_.reset(info.hProcess);
  child.id_ = info.dwProcessId;
  return child;
}

ChildProcess::~ChildProcess() {
  if (process_ && Running()) {
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 5000);
  }
}

std::optional<DWORD> ChildProcess::Wait(DWORD milliseconds) {
  if (::WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool ChildProcess::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

double ChildProcess::CpuMilliseconds() const {
  FILETIME created{}, exited{}, kernel{}, user{};
  ::GetProcessTimes(process_.get(), &created, &exited, &kernel, &user);
  return static_cast<double>(ToUnits(kernel) + ToUnits(user)) / 10000.0;
}

std::uint64_t ChildProcess::ExitTime() const {
  FILETIME created{}, exited{}, kernel{}, user{};
  ::GetProcessTimes(process_.get(), &created, &exited, &kernel, &user);
  return ToUnits(exited);
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  ::EnumWindows(
      [](HWND window, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == s.processId && ::IsWindowVisible(window)) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<HWND> WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  do {
    for (const HWND window : TopLevelWindows(processId)) {
      if (predicate(window)) return window;
    }
    ::Sleep(50);
  } while (::GetTickCount64() < deadline);
  return std::nullopt;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  ::EnumChildWindows(
      parent,
      [](HWND window, LPARAM lParam) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string WindowText(HWND window) {
  // WM_GETTEXT works across processes, unlike GetWindowText for child controls.
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return Utf16ToUtf8(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

std::string ClassName(HWND window) {
  wchar_t buffer[256];
  const int length = ::GetClassNameW(window, buffer, 256);
  return Utf16ToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(length > 0 ? length : 0)));
}

std::vector<std::string> ChildTexts(HWND parent, const std::string& className) {
  std::vector<std::string> texts;
  for (const HWND child : ChildWindows(parent)) {
    if (::IsWindowVisible(child) && _stricmp(ClassName(child).c_str(), className.c_str()) == 0) {
      texts.push_back(WindowText(child));
    }
  }
  return texts;
}

HWND FindButton(HWND parent, const std::string& caption) {
  for (const HWND child : ChildWindows(parent)) {
    if (::IsWindowVisible(child) && _stricmp(ClassName(child).c_str(), "Button") == 0 && WindowText(child) == caption) {
      return child;
    }
  }
  return nullptr;
}

void PressButton(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void PressCloseBox(HWND window) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool ShowsText(HWND parent, const std::string& text) {
  for (const HWND child : ChildWindows(parent)) {
    if (::IsWindowVisible(child) && WindowText(child) == text) return true;
  }
  return false;
}

std::string CaptureBmp(HWND window) {
  RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (window && !::GetWindowRect(window, &area)) return {};
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return {};

  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::string bytes;
  if (bitmap) {
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    bytes.assign(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), imageSize);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return bytes;
}

bool SaveScreenshot(HWND window, const std::string& bmpPath) {
  const std::string bytes = CaptureBmp(window);
  return !bytes.empty() && WriteFileBytes(bmpPath, bytes);
}

void TakeScreenshotIfWanted(HWND window, const std::string& name) {
  wchar_t folder[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(L"TOLVAR_SCREENSHOTS", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  ::Sleep(300);  // let the window finish painting
  SaveScreenshot(window, Utf16ToUtf8(std::wstring_view(folder, length)) + "\\" + name + ".bmp");
}

}  // namespace tolvar::test
