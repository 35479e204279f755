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

namespace {

// Gives the windows back and re-activates the one that was active, on every way
// out of the modal loop, and passes on a WM_QUIT that ended it.
class ModalScope {
 public:
  explicit ModalScope(HWND dialog) : previouslyActive_(::GetActiveWindow()), disabled_(DisableThreadWindows(dialog)) {}
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  ~ModalScope() {
    // Re-enable before the dialog disappears so that the system activates one of
    // our windows rather than another program's.
    EnableWindows(disabled_);
    if (previouslyActive_ && ::IsWindow(previouslyActive_)) ::SetActiveWindow(previouslyActive_);
    if (quit_) ::PostQuitMessage(static_cast<int>(quitCode_));
  }
  void Quit(WPARAM code) {
    quit_ = true;
    quitCode_ = code;
  }

 private:
  HWND previouslyActive_;
  std::vector<HWND> disabled_;
  bool quit_ = false;
  WPARAM quitCode_ = 0;
};

}  // namespace

void RunModalLoopImpl(HWND dialog, bool (*finished)(void*), void* context) {
  Application& application = Application::Instance();
  {
    ModalScope scope(dialog);
    MSG message;
    // A handler's exception ends the loop too; it is rethrown below.
    while (!application.HasPendingException() && ::IsWindow(dialog) && !finished(context)) {
      const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        scope.Quit(message.wParam);
        break;
      }
      application.DispatchQueuedMessage(message);
    }
  }
  application.RethrowPendingException();
}

}  // namespace tolvar
