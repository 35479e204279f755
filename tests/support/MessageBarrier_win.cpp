#include "tests/support/MessageBarrier_win.h"

#include <mutex>

namespace tolvar::test {
namespace {

constexpr wchar_t kBarrierClass[] = L"TolvarTestMessageBarrier";
constexpr UINT kMarker = WM_APP + 0x3B1;
// A marker goes round twice: the first round flushes the posted input, the
// second what handling that input posted (TranslateMessage posts WM_CHAR).
constexpr WPARAM kRounds = 2;

// Tickets are posted in the order they are drawn, so each round keeps that order.
std::mutex g_ticketMutex;
LONG_PTR g_nextTicket = 1;

LRESULT CALLBACK BarrierProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kMarker) return ::DefWindowProcW(window, message, wParam, lParam);
  if (wParam > 1) {
    ::PostMessageW(window, kMarker, wParam - 1, lParam);
  } else if (::GetWindowLongPtrW(window, GWLP_USERDATA) < lParam) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);  // tickets are handled in order
  }
  return 0;
}

// The barrier window of a thread, found among the message-only windows.
HWND BarrierOfThread(DWORD threadId) {
  HWND candidate = nullptr;
  while ((candidate = ::FindWindowExW(HWND_MESSAGE, candidate, kBarrierClass, nullptr)) != nullptr) {
    if (::GetWindowThreadProcessId(candidate, nullptr) == threadId) return candidate;
  }
  return nullptr;
}

}  // namespace

MessageBarrier::MessageBarrier() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!::GetClassInfoExW(instance, kBarrierClass, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &BarrierProcedure;
    wc.hInstance = instance;
    wc.lpszClassName = kBarrierClass;
    ::RegisterClassExW(&wc);
  }
  window_ = ::CreateWindowExW(0, kBarrierClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

MessageBarrier::~MessageBarrier() {
  if (window_) ::DestroyWindow(window_);
}

bool MessageBarrier::LetThrough() const noexcept {
  return window_ && ::GetWindowLongPtrW(window_, GWLP_USERDATA) != 0;
}

bool WaitUntilHandled(HWND window, DWORD timeoutMs) {
  const DWORD threadId = ::GetWindowThreadProcessId(window, nullptr);
  if (threadId == 0 || threadId == ::GetCurrentThreadId()) return false;
  const HWND barrier = BarrierOfThread(threadId);
  if (!barrier) return false;
  LONG_PTR ticket = 0;
  {
    const std::lock_guard lock(g_ticketMutex);
    ticket = g_nextTicket++;
    if (!::PostMessageW(barrier, kMarker, kRounds, ticket)) return false;
  }
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (::GetWindowLongPtrW(barrier, GWLP_USERDATA) < ticket) {
    if (!::IsWindow(barrier) || ::GetTickCount64() >= deadline) return false;
    ::Sleep(5);
  }
  return true;
}

}  // namespace tolvar::test
