#include "dialogs/Countdown.h"

#include "platform/Utf.h"

namespace tolvar {

long long Countdown::SecondsShown(std::uint64_t nowTick) const noexcept {
  const long long remaining = static_cast<long long>(Deadline()) - static_cast<long long>(nowTick);
  return remaining / 1000 + 1;
}

std::string CountdownCaption(const std::string& caption, long long seconds) {
  return caption + " [" + IntToStr(seconds) + " s]";
}

}  // namespace tolvar
