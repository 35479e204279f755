// A robot that answers the program's message dialogs as a user would: it reads
// their texts and presses a button by its caption. Works on this process (from a
// thread of its own, while the program waits in its dialog) or on another one.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/RobotInput_win.h"

namespace tolvar::test {

// The buttons of the message dialog, by caption; the platform message box that
// may stand in for it has the control identifiers 1 (OK) and 2 (cancel) instead.
enum class Answer { Ok, Back, Close };

// IsMessageDialog (tests/support/RobotInput_win.h) tells the dialogs apart.

// The texts of the dialog's visible non-button children (its message among them).
std::vector<std::string> DialogTexts(HWND dialog);

// Presses "OK", "Zpět" or "&Zavřít"; without such a caption, the button with the
// matching identifier (or the only button). False when none was found.
bool PressAnswer(HWND dialog, Answer answer);

// Answers every message dialog of a process until it is destroyed.
class DialogAnswerer {
 public:
  struct Seen {
    std::vector<std::string> texts;
    bool Shows(const std::string& text) const;
  };
  // Decides the answer for each dialog; runs on the robot's thread.
  using Decide = std::function<Answer(const Seen&)>;

  explicit DialogAnswerer(Decide decide, DWORD processId = ::GetCurrentProcessId());
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;
  ~DialogAnswerer();

  std::vector<Seen> SeenDialogs() const;

 private:
  void Run();

  Decide decide_;
  DWORD processId_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

}  // namespace tolvar::test
