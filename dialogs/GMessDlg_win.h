// The message box front end: every message of the program reaches the user
// through ShowMessageBox and returns the modal result of the chosen button.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/MsgBoxTypes.h"

namespace tolvar {

std::uint16_t ShowMessageBoxEx(const std::string& title, const std::string& text, const std::string& detail,
                               TMsgBoxType type, TMsgBoxButtons buttons, std::int32_t helpContext,
                               std::int32_t countdownTime, TMsgBoxButton countdownButton);

std::uint16_t ShowMessageBox(const std::string& text, TMsgBoxType type, TMsgBoxButtons buttons,
                             std::int32_t helpContext, std::int32_t countdownTime, TMsgBoxButton countdownButton);

// The form of ShowMessageBox that the program's steps use for their error reports:
// an error with the given buttons, no help, no countdown.
inline std::uint16_t ShowErrorMessage(const std::string& text, TMsgBoxButtons buttons) {
  return ShowMessageBox(text, mbtError, buttons, 0, -1, mbbOK);
}

}  // namespace tolvar
