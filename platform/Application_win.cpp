#include "platform/Application_win.h"

#include <algorithm>
#include <utility>

#include "platform/ApplicationWindow_win.h"
#include "platform/Utf.h"
#include "platform/Window_win.h"

namespace tolvar {
namespace {

class SystemTickClock final : public TickClock {
 public:
  std::uint64_t Now() const noexcept override { return ::GetTickCount64(); }
};

constinit const SystemTickClock kSystemTickClock;

}  // namespace

Application::Application() : clock_(&kSystemTickClock) {}

Application::~Application() {
  // At exit: the hidden window goes while every member it reports to is alive,
  // and no hook of an object that is gone sees its last messages.
  hooks_.clear();
  applicationWindow_.reset();
}

Application& Application::Instance() {
  static Application application;
  return application;
}

void Application::SetTitle(std::string title) {
  title_ = std::move(title);
  if (applicationWindow_ && applicationWindow_->Exists()) {
    ::SetWindowTextW(applicationWindow_->Handle(), Utf8ToUtf16(title_).c_str());
  }
}

Window* Application::MainWindow() const noexcept { return topLevel_.empty() ? nullptr : topLevel_.front(); }

void Application::AddTopLevelWindow(Window* window) { topLevel_.push_back(window); }

void Application::RemoveTopLevelWindow(Window* window) {
  topLevel_.erase(std::remove(topLevel_.begin(), topLevel_.end(), window), topLevel_.end());
}

void Application::DispatchQueuedMessage(MSG& message) {
  if (message.hwnd) {
    if (Window* owner = WindowFromHandle(::GetAncestor(message.hwnd, GA_ROOT))) {
      if (owner->PreTranslateMessage(message)) return;
    }
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void Application::KeepPendingException(std::exception_ptr error) noexcept {
  if (!pending_) pending_ = std::move(error);
}

void Application::RethrowPendingException() {
  if (!pending_) return;
  std::exception_ptr error = std::exchange(pending_, nullptr);
  std::rethrow_exception(error);
}

void Application::ProcessMessages() {
  MSG message;
  while (!pending_ && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      continue;
    }
    DispatchQueuedMessage(message);
  }
  lastPump_ = clock_->Now();
  RethrowPendingException();
}

void Application::Run() {
  MSG message;
  while (!pending_ && !terminated_ && MainWindow() != nullptr) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      terminated_ = true;
      break;
    }
    DispatchQueuedMessage(message);
  }
  RethrowPendingException();
}

void Application::SetClock(const TickClock* clock) noexcept {
  clock_ = clock ? clock : &kSystemTickClock;
  lastPump_ = clock_->Now();  // a pump is due one interval on the new clock
}

void Application::SetCursorOverride(HCURSOR cursor) {
  if (cursor == cursorOverride_) return;
  cursorOverride_ = cursor;
  // Show the change at once when the pointer rests on one of our windows.
  POINT point{};
  if (!::GetCursorPos(&point)) return;
  const HWND under = ::WindowFromPoint(point);
  if (under && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId()) {
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
}

bool Application::HelpContext(std::int32_t context) {
  if (onHelp_ && onHelp_(context)) return true;
  if (helpFile_.empty()) return false;
  return ::WinHelpW(ApplicationWindow(), Utf8ToUtf16(helpFile_).c_str(), HELP_CONTEXT,
                    static_cast<ULONG_PTR>(static_cast<std::uint32_t>(context))) != FALSE;
}

int Application::AddMainWindowHook(MessageHook hook) {
  ApplicationWindow();
  const int id = nextHookId_++;
  hooks_.emplace_back(id, std::move(hook));
  return id;
}

void Application::RemoveMainWindowHook(int id) {
  hooks_.erase(std::remove_if(hooks_.begin(), hooks_.end(), [id](const auto& entry) { return entry.first == id; }),
               hooks_.end());
}

HWND Application::ApplicationWindow() {
  // Made anew when someone destroyed the one before.
  if (!applicationWindow_ || !applicationWindow_->Exists()) {
    applicationWindow_ = std::make_unique<tolvar::ApplicationWindow>(title_);
  }
  return applicationWindow_->Handle();
}

bool Application::RunMainWindowHooks(UINT message, WPARAM wParam, LPARAM lParam) {
  // Copy first: a hook may add or remove hooks while it runs.
  const auto hooks = hooks_;
  bool handled = false;
  for (const auto& [id, hook] : hooks) {
    if (hook(message, wParam, lParam)) handled = true;
  }
  return handled;
}

}  // namespace tolvar
