// A robot that works another process's windows as a user would: it finds them,
// reads their texts and presses their buttons.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handle_win.h"

namespace tolvar::test {

// A started process that is killed at the end unless it has ended.
class ChildProcess {
 public:
  // Starts exactly `program` with `commandLine` in `workingFolder` (empty: ours).
  static std::optional<ChildProcess> Start(const std::string& program, const std::string& commandLine,
                                           const std::string& workingFolder = {});
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess();

  DWORD Id() const noexcept { return id_; }
  HANDLE Handle() const noexcept { return process_.get(); }
  // Waits for the end; the exit code, or nothing when the time ran out.
  std::optional<DWORD> Wait(DWORD milliseconds);
  bool Running() const;
  // User plus kernel time the process has used, in milliseconds.
  double CpuMilliseconds() const;
  // When the process ended, as system time in 100 ns units since 1601.
  std::uint64_t ExitTime() const;

 private:
  ChildProcess() = default;
  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

// The visible top-level windows of a process.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Waits until a visible top-level window of the process satisfies the predicate.
std::optional<HWND> WaitForWindow(DWORD processId, const std::function<bool(HWND)>& predicate,
                                  DWORD timeoutMs = 15000);

// All descendants of a window, in Z order.
std::vector<HWND> ChildWindows(HWND parent);

std::string WindowText(HWND window);
std::string ClassName(HWND window);

// The texts of a window's visible children of the given class (e.g. "Button").
std::vector<std::string> ChildTexts(HWND parent, const std::string& className);

// The visible child button whose caption is `caption`, or nullptr.
HWND FindButton(HWND parent, const std::string& caption);

// Presses a button as a click would.
void PressButton(HWND button);

// Asks a window to close as its close box would.
void PressCloseBox(HWND window);

// True when any visible child of `parent` shows exactly `text`.
bool ShowsText(HWND parent, const std::string& text);

// What the screen shows of a window (frame included), or of the whole screen for
// nullptr, as the bytes of a 24-bit BMP file; empty when nothing could be taken.
std::string CaptureBmp(HWND window);

// Saves what the screen shows of a window (frame included) as a 24-bit BMP file,
// or the whole screen for nullptr. Under Wine's virtual desktop the frame is drawn
// as on Windows. Turn it into PNG with `convert x.bmp x.png` to look at it.
bool SaveScreenshot(HWND window, const std::string& bmpPath);

// When the environment variable TOLVAR_SCREENSHOTS names a folder (as
// scripts/screenshots.sh sets it), saves "<folder>\<name>.bmp" of the window;
// otherwise does nothing. Tests call it at the moments worth looking at.
void TakeScreenshotIfWanted(HWND window, const std::string& name);

}  // namespace tolvar::test
