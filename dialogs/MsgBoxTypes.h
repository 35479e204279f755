// The vocabulary in which the program's steps ask for a message: their message
// type and the buttons they want, in the order familiar from common message boxes.
#pragma once

#include <cstdint>

namespace tolvar {

enum TMsgBoxType : std::uint8_t {
  mbtWarning = 0,
  mbtError = 1,
  mbtInformation = 2,
  mbtConfirmation = 3,
  mbtCustom = 4,
};

enum TMsgBoxButton : std::uint8_t {
  mbbYes = 0,
  mbbNo = 1,
  mbbOK = 2,
  mbbCancel = 3,
  mbbAbort = 4,
  mbbRetry = 5,
  mbbIgnore = 6,
  mbbAll = 7,
  mbbClose = 8,
  mbbHelp = 9,
  mbbContinue = 10,
};

// A set of TMsgBoxButton: bit n set = button n wanted.
using TMsgBoxButtons = std::uint16_t;

constexpr TMsgBoxButtons MsgBoxButtonBit(TMsgBoxButton button) {
  return static_cast<TMsgBoxButtons>(1u << button);
}

// Modal results of the dialog's buttons.
enum : std::uint16_t {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrClose = 9,
  mrContinue = 11,
};

}  // namespace tolvar
