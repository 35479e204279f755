#include "platform/ThreadWindows_win.h"

#include "platform/Application_win.h"

namespace tolvar {
namespace {

struct DisableContext {
  HWND keep;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM lParam) {
  auto& context = *reinterpret_cast<DisableContext*>(lParam);
  if (window != context.keep && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
    ::EnableWindow(window, FALSE);
    context.disabled.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> DisableThreadWindows(HWND keep) {
  DisableContext context{keep, {}};
  ::EnumThreadWindows(::GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&context));
  return context.disabled;
}

void EnableWindows(const std::vector<HWND>& windows) {
  for (const HWND window : windows) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
}

DisabledWindowsScope::DisabledWindowsScope(HWND keep)
    : previouslyActive_(::GetActiveWindow()), disabled_(DisableThreadWindows(keep)) {}

DisabledWindowsScope::~DisabledWindowsScope() {
  EnableWindows(disabled_);
  if (previouslyActive_ && ::IsWindow(previouslyActive_)) ::SetActiveWindow(previouslyActive_);
}

namespace {

// Passes on a WM_QUIT that ended the modal loop, on every way out of it.
class QuitRepost {
 public:
  QuitRepost() = default;
  QuitRepost(const QuitRepost&) = delete;
  QuitRepost& operator=(const QuitRepost&) = delete;
  ~QuitRepost() {
    if (quit_) ::PostQuitMessage(static_cast<int>(code_));
  }
  void Quit(WPARAM code) {
    quit_ = true;
    code_ = code;
  }

 private:
  bool quit_ = false;
  WPARAM code_ = 0;
};

}  // namespace

void RunModalLoopImpl(HWND dialog, bool (*finished)(void*), void* context) {
  Application& application = Application::Instance();
  {
    QuitRepost quit;
    const DisabledWindowsScope others(dialog);
    MSG message;
    // A handler's exception ends the loop too; it is rethrown below.
    while (!application.HasPendingException() && ::IsWindow(dialog) && !finished(context)) {
      const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        quit.Quit(message.wParam);
        break;
      }
      application.DispatchQueuedMessage(message);
    }
  }
  application.RethrowPendingException();
}

}  // namespace tolvar
