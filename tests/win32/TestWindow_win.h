// A plain window of the program's own kind for the platform tests, top-level or
// a child of `parent`: it answers kPing with 42 and counts the pings, the keys
// its keyboard preview saw and the OnDestroyed calls; with failOnCreate its
// WM_CREATE handler throws.
#pragma once

#include <windows.h>

#include <stdexcept>

#include "platform/Window_win.h"

namespace tolvar::test {

inline constexpr UINT kPing = WM_APP + 1;

class TestWindow : public Window {
 public:
  explicit TestWindow(const char* caption, HWND parent = nullptr, bool failOnCreate = false)
      : failOnCreate_(failOnCreate) {
    ClassSpec windowClass;
    windowClass.name = L"TolvarTestWindow";
    CreateSpec params;
    params.caption = caption;
    params.style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_CAPTION | WS_VISIBLE;
    params.parent = parent;
    params.clientWidth = 200;
    params.clientHeight = 100;
    params.left = params.top = 10;
    CreateWindowObject(windowClass, params);
  }
  bool PreTranslateMessage(MSG& message) override {
    if (message.message == WM_KEYDOWN) ++previewedKeys;
    return false;
  }
  int pings = 0;
  int previewedKeys = 0;
  int destroyedCalls = 0;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE && failOnCreate_) throw std::runtime_error("creation failed");
    if (message == kPing) {
      ++pings;
      return 42;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
  void OnDestroyed() override { ++destroyedCalls; }

 private:
  bool failOnCreate_;
};

}  // namespace tolvar::test
