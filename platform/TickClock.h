// The clock behind the program's decisions by time: whether a message pump is
// due in long work, how far the message dialog's countdown has run. The program
// reads it only through Application::Clock (Win32), so a test can put in a
// clock of its own, hold time still and move it, instead of sleeping.
#pragma once

#include <cstdint>

namespace tolvar {

class TickClock {
 public:
  virtual ~TickClock() = default;
  // Milliseconds since a fixed start; never goes back.
  virtual std::uint64_t Now() const noexcept = 0;
};

}  // namespace tolvar
