// The step rules of the wait window, apart from its window: which steps pump
// messages, and the order in which the pendulum frames follow each other.
#pragma once

#include <cstdint>

namespace tolvar {

// A step pumps messages when the interval is 0 or the 16-bit step count is a
// multiple of it (the count wraps from 65535 to 0, which counts as a multiple).
constexpr bool IsPumpStep(std::uint16_t stepCount, std::uint16_t interval) {
  return interval == 0 || stepCount % interval == 0;
}

// The visible pendulum frame, swinging 0, 1, 2, 1, 0, 1, ...
struct PendulumFrames {
  std::uint16_t index = 0;
  bool forward = true;

  // Moves to the next frame and returns the one that was visible before.
  constexpr std::uint16_t Advance() {
    const std::uint16_t old = index;
    if (forward) {
      ++index;
      if (index == 2) forward = false;
    } else {
      --index;
      if (index == 0) forward = true;
    }
    return old;
  }
};

}  // namespace tolvar
