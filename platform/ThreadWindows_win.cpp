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

void RunModalLoopImpl(HWND dialog, bool (*finished)(void*), void* context) {
  const HWND previouslyActive = ::GetActiveWindow();
  const std::vector<HWND> disabled = DisableThreadWindows(dialog);
  Application& application = Application::Instance();

  bool quit = false;
  WPARAM quitCode = 0;
  MSG message;
  while (::IsWindow(dialog) && !finished(context)) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      quit = true;
      quitCode = message.wParam;
      break;
    }
    application.DispatchQueuedMessage(message);
  }

  // Re-enable before the dialog disappears so that the system activates one of
  // our windows rather than another program's.
  EnableWindows(disabled);
  if (previouslyActive && ::IsWindow(previouslyActive)) ::SetActiveWindow(previouslyActive);
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace tolvar
