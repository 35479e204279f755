#include "tests/support/DestroyWatch_win.h"

#include <utility>

namespace tolvar::test {
namespace {

DestroyWatch* active = nullptr;  // one watch at a time: the hook has no context

}  // namespace

DestroyWatch::DestroyWatch(HWND window, std::function<void()> atDestroy)
    : window_(window), atDestroy_(std::move(atDestroy)) {
  active = this;
  hook_ = ::SetWindowsHookExW(WH_CBT, &DestroyWatch::Hook, nullptr, ::GetCurrentThreadId());
}

DestroyWatch::~DestroyWatch() {
  ::UnhookWindowsHookEx(hook_);
  active = nullptr;
}

LRESULT CALLBACK DestroyWatch::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND && active && !active->seen_ && reinterpret_cast<HWND>(wParam) == active->window_) {
    active->seen_ = true;
    active->atDestroy_();
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace tolvar::test
