// The application object: the services that the program's windows share. One per
// process, used on the GUI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/TickClock.h"

namespace tolvar {

class ApplicationWindow;
class Window;

class Application {
 public:
  static Application& Instance();

  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The application's title: the caption of message dialogs that name no caption
  // of their own, and the text of the hidden application window.
  void SetTitle(std::string title);
  const std::string& Title() const noexcept { return title_; }

  // The main window is the first of the program's top-level windows that still
  // exists; nullptr while there is none.
  Window* MainWindow() const noexcept;
  const std::vector<Window*>& TopLevelWindows() const noexcept { return topLevel_; }

  // Dispatches every pending message once and returns; never waits.
  void ProcessMessages();
  // The pump for points inside long work (every copied block, every unpacked
  // chunk): the same as ProcessMessages once a pump is due, otherwise nothing at
  // all. Looking into the queue costs a kernel call on Windows and a server
  // round trip under Wine, far more than a block of work, while the windows
  // need serving only about once per frame.
  void ProcessMessagesIfDue() {
    if (PumpDue()) ProcessMessages();
  }
  // True once kPumpIntervalMs have passed on Clock() since the last pump ended.
  bool PumpDue() const noexcept { return clock_->Now() - lastPump_ >= kPumpIntervalMs; }
  static constexpr std::uint64_t kPumpIntervalMs = 10;

  // The clock of the pumps and the dialog's countdown: the system's tick count
  // (GetTickCount64, a plain memory read on every Windows, whose granularity of
  // about 15.6 ms still means a pump per frame), unless a test put in its own.
  const TickClock& Clock() const noexcept { return *clock_; }
  // Puts in `clock` (it must outlive its use), or the system's again for nullptr.
  void SetClock(const TickClock* clock) noexcept;
  // Gives a retrieved message to the keyboard preview of its window, then
  // translates and dispatches it.
  void DispatchQueuedMessage(MSG& message);

  // An exception that a window procedure caught: it must never unwind through
  // the system's frames that called the procedure (64-bit Windows may swallow
  // it there). Every message loop of the program (ProcessMessages, Run, the
  // modal loop) ends while one is pending and rethrows it once it has cleaned
  // up, so the code that runs the loop sees it as if thrown there. The first
  // one is kept until rethrown.
  void KeepPendingException(std::exception_ptr error) noexcept;
  bool HasPendingException() const noexcept { return static_cast<bool>(pending_); }
  // Rethrows the pending exception and forgets it; nothing when there is none.
  void RethrowPendingException();

  // A termination request takes effect when the final message loop runs.
  void Terminate() noexcept { terminated_ = true; }
  bool Terminated() const noexcept { return terminated_; }

  // The final message loop: returns at once when termination was requested or no
  // window of the program is left, otherwise when either becomes true.
  void Run();

  // The cursor forced over all windows of the program (an hourglass during long
  // work); nullptr lets each window show its own cursor.
  HCURSOR CursorOverride() const noexcept { return cursorOverride_; }
  void SetCursorOverride(HCURSOR cursor);

  // The application help: the help file, and an optional handler that sees each
  // help request first (it returns true when it has shown the help itself).
  void SetHelpFile(std::string path) { helpFile_ = std::move(path); }
  using HelpHandler = std::function<bool(std::int32_t context)>;
  void SetOnHelp(HelpHandler handler) { onHelp_ = std::move(handler); }
  // Shows the help topic `context`; false when nothing was shown (no help file).
  bool HelpContext(std::int32_t context);

  // Observers of the messages that reach the hidden application window, such as
  // the theme-changed notification that the system sends to every top-level
  // window. A hook returns true to mark a message as handled. The returned id
  // removes the hook again.
  using MessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;
  int AddMainWindowHook(MessageHook hook);
  void RemoveMainWindowHook(int id);
  // The hidden application window (created on first use); never shown.
  HWND ApplicationWindow();
  // Gives a message of the hidden window to every hook; true when one handled it.
  bool RunMainWindowHooks(UINT message, WPARAM wParam, LPARAM lParam);

  // Bookkeeping of the Window base class.
  void AddTopLevelWindow(Window* window);
  void RemoveTopLevelWindow(Window* window);

 private:
  Application();
  ~Application();

  std::string title_;
  std::vector<Window*> topLevel_;
  bool terminated_ = false;
  std::exception_ptr pending_;
  const TickClock* clock_;
  std::uint64_t lastPump_ = 0;  // Clock() when the last pump ended
  HCURSOR cursorOverride_ = nullptr;
  std::unique_ptr<tolvar::ApplicationWindow> applicationWindow_;
  std::vector<std::pair<int, MessageHook>> hooks_;
  std::string helpFile_;
  HelpHandler onHelp_;
  int nextHookId_ = 1;
};

// Restores the application's cursor override when it goes out of scope.
class CursorOverrideScope {
 public:
  explicit CursorOverrideScope(HCURSOR cursor)
      : saved_(Application::Instance().CursorOverride()) {
    Application::Instance().SetCursorOverride(cursor);
  }
  CursorOverrideScope(const CursorOverrideScope&) = delete;
  CursorOverrideScope& operator=(const CursorOverrideScope&) = delete;
  ~CursorOverrideScope() { Application::Instance().SetCursorOverride(saved_); }

 private:
  HCURSOR saved_;
};

}  // namespace tolvar
