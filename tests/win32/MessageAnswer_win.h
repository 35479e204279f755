// A robot that answers the program's message dialogs as a user would: it reads
// their title, icon, texts and push buttons, and presses a button by its exact
// caption or the close box. Works on this process (from a thread of its own,
// while the program waits in its dialog) or on another one.
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

// "OK", "Zpět", "&Zavřít" by caption, or the window's close box.
enum class Answer { Ok, Back, Close, CloseBox };

// IsMessageDialog (tests/support/RobotInput_win.h) tells the dialogs apart.

// What a message dialog shows.
struct DialogSeen {
  std::string title;                 // the coloured title line ("Chyba", "Potvrďte", ...)
  HICON icon = nullptr;              // the icon of the message type
  std::vector<std::string> buttons;  // the push buttons' captions, left to right
  std::vector<std::string> texts;    // every visible non-button text, the message among them
  bool Shows(const std::string& text) const;
};

DialogSeen ReadDialog(HWND dialog);

// The texts of the dialog's visible non-button children (its message among them).
std::vector<std::string> DialogTexts(HWND dialog);

// Presses the button with exactly the answer's caption, or the close box.
// False when the dialog has no such button: nothing is pressed then.
bool PressAnswer(HWND dialog, Answer answer);

// Answers every message dialog of a process until it is destroyed. An answer
// whose button the dialog does not have is a test failure; such a dialog is
// closed with its close box so that the run goes on.
class DialogAnswerer {
 public:
  using Seen = DialogSeen;
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
  std::atomic<int> missedAnswers_{0};
  mutable std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

}  // namespace tolvar::test
