#include "tests/win32/MessageAnswer_win.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "dialogs/MessageDialogForm_win.h"
#include "tests/support/Robot_win.h"

namespace tolvar::test {
namespace {

bool IsPushButton(HWND child) {
  return ::IsWindowVisible(child) && _stricmp(ClassName(child).c_str(), "Button") == 0;
}

// The visible push buttons from left to right.
std::vector<HWND> VisibleButtons(HWND dialog) {
  std::vector<HWND> buttons;
  for (const HWND child : ChildWindows(dialog)) {
    if (IsPushButton(child)) buttons.push_back(child);
  }
  std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) { return BoundsOf(a).left < BoundsOf(b).left; });
  return buttons;
}

const char* CaptionOf(Answer answer) {
  switch (answer) {
    case Answer::Ok: return "OK";
    case Answer::Back: return "Zpět";
    case Answer::Close: return "&Zavřít";
    case Answer::CloseBox: break;
  }
  return nullptr;
}

}  // namespace

bool DialogSeen::Shows(const std::string& text) const {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::string> DialogTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (const HWND child : ChildWindows(dialog)) {
    if (::IsWindowVisible(child) && !IsPushButton(child)) texts.push_back(WindowText(child));
  }
  return texts;
}

DialogSeen ReadDialog(HWND dialog) {
  DialogSeen seen;
  seen.title = WindowText(ControlOf(dialog, kTitleControlId));
  seen.icon = reinterpret_cast<HICON>(::SendMessageW(ControlOf(dialog, kIconControlId), STM_GETICON, 0, 0));
  for (const HWND button : VisibleButtons(dialog)) seen.buttons.push_back(WindowText(button));
  seen.texts = DialogTexts(dialog);
  return seen;
}

bool PressAnswer(HWND dialog, Answer answer) {
  if (answer == Answer::CloseBox) {
    PressCloseBox(dialog);
    return true;
  }
  const HWND button = FindButton(dialog, CaptionOf(answer));
  if (!button) return false;
  PressButton(button);
  return true;
}

DialogAnswerer::DialogAnswerer(Decide decide, DWORD processId)
    : decide_(std::move(decide)), processId_(processId), thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() {
  stop_ = true;
  thread_.join();
  EXPECT_EQ(missedAnswers_, 0) << "a dialog lacked the button the robot was told to press";
}

std::vector<DialogAnswerer::Seen> DialogAnswerer::SeenDialogs() const {
  const std::lock_guard lock(mutex_);
  return seen_;
}

void DialogAnswerer::Run() {
  while (!stop_) {
    for (const HWND window : TopLevelWindows(processId_)) {
      if (!IsMessageDialog(window)) continue;
      WaitUntilServed(window);  // shown in full, the focus given
      const Seen seen = ReadDialog(window);
      const Answer answer = decide_(seen);
      {
        const std::lock_guard lock(mutex_);
        seen_.push_back(seen);
      }
      if (!PressAnswer(window, answer)) {
        ++missedAnswers_;
        PressCloseBox(window);
      }
      // One answer per dialog: wait until it has gone.
      WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 5000);
    }
    ::Sleep(30);
  }
}

}  // namespace tolvar::test
