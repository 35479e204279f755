#include "tests/win32/MessageAnswer_win.h"

#include "tests/support/Robot_win.h"

namespace tolvar::test {
namespace {

bool IsPushButton(HWND child) {
  return ::IsWindowVisible(child) && _stricmp(ClassName(child).c_str(), "Button") == 0;
}

std::vector<HWND> VisibleButtons(HWND dialog) {
  std::vector<HWND> buttons;
  for (const HWND child : ChildWindows(dialog)) {
    if (IsPushButton(child)) buttons.push_back(child);
  }
  return buttons;
}

}  // namespace

std::vector<std::string> DialogTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (const HWND child : ChildWindows(dialog)) {
    if (::IsWindowVisible(child) && !IsPushButton(child)) texts.push_back(WindowText(child));
  }
  return texts;
}

bool PressAnswer(HWND dialog, Answer answer) {
  const char* caption = answer == Answer::Ok ? "OK" : answer == Answer::Back ? "Zp\xC4\x9bt" : "&Zav\xC5\x99\xC3\xADt";
  HWND button = FindButton(dialog, caption);
  if (!button && answer != Answer::Close) {
    const HWND byId = ::GetDlgItem(dialog, answer == Answer::Ok ? IDOK : IDCANCEL);
    if (byId && ::IsWindowVisible(byId)) button = byId;
  }
  if (!button) {
    const auto buttons = VisibleButtons(dialog);
    if (buttons.size() == 1) button = buttons.front();
  }
  if (!button) return false;
  PressButton(button);
  return true;
}

bool DialogAnswerer::Seen::Shows(const std::string& text) const {
  for (const auto& shown : texts) {
    if (shown == text) return true;
  }
  return false;
}

DialogAnswerer::DialogAnswerer(Decide decide, DWORD processId)
    : decide_(std::move(decide)), processId_(processId), thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() {
  stop_ = true;
  thread_.join();
}

std::vector<DialogAnswerer::Seen> DialogAnswerer::SeenDialogs() const {
  const std::lock_guard lock(mutex_);
  return seen_;
}

void DialogAnswerer::Run() {
  while (!stop_) {
    for (const HWND window : TopLevelWindows(processId_)) {
      if (!IsMessageDialog(window)) continue;
      ::Sleep(100);  // let the dialog settle before reading it
      Seen seen{DialogTexts(window)};
      const Answer answer = decide_(seen);
      {
        const std::lock_guard lock(mutex_);
        seen_.push_back(seen);
      }
      PressAnswer(window, answer);
      // One answer per dialog: wait until it has gone.
      for (int i = 0; i < 200 && ::IsWindow(window) && ::IsWindowVisible(window); ++i) ::Sleep(25);
    }
    ::Sleep(30);
  }
}

}  // namespace tolvar::test
