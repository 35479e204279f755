// A one-line progress bar redrawn in place on a terminal: "[#####.....]  50%".
// Drawn only when the command's output says so (a terminal, not quiet), so
// that a log or a pipe never receives carriage returns.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tools/zl32/Zl32Commands.h"

namespace tolvar::zl32 {

class TerminalBar {
 public:
  // Draws on output.err when output.ShowsProgress(); otherwise does nothing.
  explicit TerminalBar(const Output& output);
  // A bar left unfinished is ended with a line break, so that whatever stopped
  // the work is said on a line of its own.
  ~TerminalBar() { Abandon(); }
  TerminalBar(const TerminalBar&) = delete;
  TerminalBar& operator=(const TerminalBar&) = delete;

  // The amount that makes 100 %; 0 or less shows 100 % at the first step.
  void Start(std::int64_t total);
  // `done` of the total is done now (it never goes back).
  void Show(std::int64_t done);
  void Step() { Show(done_ + 1); }
  void Finish();
  // Ends a bar that was drawn, so that a message starts on a line of its own.
  void Abandon();

 private:
  void Draw(int percent);

  std::FILE* terminal_ = nullptr;
  std::int64_t total_ = 0;
  std::int64_t done_ = 0;
  int shown_ = -1;
};

}  // namespace tolvar::zl32
