// The message box front end: translates the caller's message into a message
// record and has a fresh message log show it.
#include "dialogs/GMessDlg_win.h"

#include "dialogs/GMessDlg.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"

namespace tolvar {

std::uint16_t ShowMessageBoxEx(const std::string& title, const std::string& text, const std::string& detail,
                               TMsgBoxType type, TMsgBoxButtons buttons, std::int32_t helpContext,
                               std::int32_t countdownTime, TMsgBoxButton countdownButton) {
  const TMessageLog log;  // dialog width 440, buttons of one width
  const TDialogRec record = BuildMessageBoxRecord(buttons, helpContext, countdownTime, countdownButton);
  // A busy cursor of the caller gives way to each window's own cursor while the
  // dialog is open, and is back when the call ends, however it ends.
  const CursorOverrideScope normalCursor(nullptr);
  return log.ShowMessageDialog(MapMsgBoxType(type), title, text, detail, record);
}

std::uint16_t ShowMessageBox(const std::string& text, TMsgBoxType type, TMsgBoxButtons buttons,
                             std::int32_t helpContext, std::int32_t countdownTime, TMsgBoxButton countdownButton) {
  return ShowMessageBoxEx({}, text, {}, type, buttons, helpContext, countdownTime, countdownButton);
}

}  // namespace tolvar
