// A clock that stands still until the test moves it. While it lives it is the
// application's clock (Application::Clock): the message pumps and the message
// dialog's countdown see only the time the test gives them, so a test steps a
// countdown to its deadline instead of sleeping through it. It may be moved
// from any thread (a robot's) while the GUI thread reads it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/TickClock.h"

namespace tolvar::test {

class ManualClock final : public TickClock {
 public:
  // Starts at the system's tick count, and takes the application's clock's place.
  ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  // Gives the application its own clock back.
  ~ManualClock() override;

  std::uint64_t Now() const noexcept override { return now_.load(); }
  void Advance(std::uint64_t milliseconds) noexcept { now_ += milliseconds; }

 private:
  std::atomic<std::uint64_t> now_;
};

}  // namespace tolvar::test
