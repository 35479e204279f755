#include "tools/zl32/TerminalBar.h"

#include <algorithm>
#include <string>

namespace tolvar::zl32 {

TerminalBar::TerminalBar(const Output& output) : terminal_(output.ShowsProgress() ? output.err : nullptr) {}

void TerminalBar::Start(std::int64_t total) { total_ = std::max<std::int64_t>(total, 0); }

void TerminalBar::Show(std::int64_t done) {
  done_ = std::max(done_, done);
  if (!terminal_) return;
  const int percent = total_ > 0 ? static_cast<int>(std::min<std::int64_t>(100, done_ * 100 / total_)) : 100;
  if (percent != shown_) Draw(percent);
}

void TerminalBar::Finish() {
  if (!terminal_) return;
  Draw(100);
  std::fputc('\n', terminal_);
  shown_ = -1;
}

void TerminalBar::Abandon() {
  if (terminal_ && shown_ >= 0) std::fputc('\n', terminal_);
  shown_ = -1;
}

void TerminalBar::Draw(int percent) {
  shown_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  std::fprintf(terminal_, "\r[%s%s] %3d%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent);
  std::fflush(terminal_);
}

}  // namespace tolvar::zl32
