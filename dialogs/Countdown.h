// The dialog's countdown as arithmetic on a 64-bit millisecond tick count, which
// neither turns negative after 24.8 days of uptime nor wraps after 49.7 days:
// the deadline is always exactly `timeMs` after the start.
#pragma once

#include <cstdint>
#include <string>

namespace tolvar {

class Countdown {
 public:
  Countdown(std::uint64_t startTick, std::int32_t timeMs) noexcept : start_(startTick), time_(timeMs) {}

  std::uint64_t Deadline() const noexcept { return start_ + static_cast<std::uint64_t>(time_ > 0 ? time_ : 0); }

  // Whole seconds shown at `nowTick`: the remaining milliseconds divided by
  // 1000, truncated towards zero, plus one (10 from the start of a 10 s
  // countdown until one second has passed).
  long long SecondsShown(std::uint64_t nowTick) const noexcept;

  // The deadline has come: the button is pressed.
  bool Expired(std::uint64_t nowTick) const noexcept { return Deadline() <= nowTick; }

 private:
  std::uint64_t start_;
  std::int32_t time_;
};

// The caption of the countdown button: its caption followed by " [<seconds> s]".
std::string CountdownCaption(const std::string& caption, long long seconds);

}  // namespace tolvar
