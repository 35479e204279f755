#include "dialogs/GMessDlg.h"

namespace tolvar {

TMessageType MapMsgBoxType(TMsgBoxType type) {
  switch (type) {
    case mbtWarning: return mltWarning;
    case mbtError: return mltError;
    case mbtConfirmation: return mltConfirmation;
    default: return mltInformation;  // mbtInformation, mbtCustom and anything else
  }
}

std::uint16_t MapMsgBoxButtons(TMsgBoxButtons buttons) {
  // Only the whole value 0 is replaced; a set of undefined bits stays as it is.
  if (buttons == 0) buttons = MsgBoxButtonBit(mbbClose);
  const unsigned in = buttons;
  return static_cast<std::uint16_t>(((in & 0x03FFu) << 1) | ((in >> 10) & 1u));
}

std::uint8_t MapMsgBoxButton(TMsgBoxButton button) {
  if (button <= mbbHelp) return static_cast<std::uint8_t>(button + 1);
  return sbkContinue;  // kind 0 carries no countdown
}

TDialogRec BuildMessageBoxRecord(TMsgBoxButtons buttons, std::int32_t helpContext, std::int32_t countdownTime,
                                 TMsgBoxButton countdownButton) {
  TDialogRec record;
  BuildDialogRec(record, true, MapMsgBoxButtons(buttons), {}, {}, helpContext, countdownTime,
                 MapMsgBoxButton(countdownButton), -1, {}, {}, 1);
  return record;
}

}  // namespace tolvar
