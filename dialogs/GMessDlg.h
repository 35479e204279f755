// The message box front end's translations from the callers' vocabulary
// (TMsgBoxType, TMsgBoxButtons) into the message record and message type that
// the message dialog understands. Pure functions; the Windows half that shows
// the dialog is GMessDlg_win.
#pragma once

#include <cstdint>

#include "dialogs/MsgBoxTypes.h"
#include "messages/MessageLogTypes.h"

namespace tolvar {

// The callers put warning before error; the dialog's types the other way round.
// Custom and unknown types are shown as information.
TMessageType MapMsgBoxType(TMsgBoxType type);

// Caller button n (0..9) is standard kind n + 1, caller button 10 (Continue) is
// kind 0; bits 11..15 are dropped. An empty set means {mbbClose}.
std::uint16_t MapMsgBoxButtons(TMsgBoxButtons buttons);

// The standard kind of one caller button; 0 (no countdown button) for Continue
// and for values outside the enumeration.
std::uint8_t MapMsgBoxButton(TMsgBoxButton button);

// The record the front end shows: the translated buttons, the help context and
// the countdown on the translated button; no custom buttons, no task links, the
// application's title as caption and the type's own icon.
TDialogRec BuildMessageBoxRecord(TMsgBoxButtons buttons, std::int32_t helpContext, std::int32_t countdownTime,
                                 TMsgBoxButton countdownButton);

}  // namespace tolvar
