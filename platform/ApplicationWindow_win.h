// The hidden application window: a top-level window that is never shown, so
// that the program receives the notifications the system broadcasts to
// top-level windows (theme and colour changes), and that help calls have an
// owner. It passes each message to the application's hooks.
#pragma once

#include <string>

#include "platform/Window_win.h"

namespace tolvar {

class ApplicationWindow final : public Window {
 public:
  explicit ApplicationWindow(const std::string& title);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace tolvar
