// Interim front end over the platform's message box, until the program's own
// message dialog takes its place. It keeps the final signatures and results:
// the caption is the application's title, the icon follows the type, and the
// result is the modal result of the button the user chose.
#include "dialogs/GMessDlg_win.h"

#include <windows.h>

#include "platform/Application_win.h"
#include "platform/Text.h"

namespace tolvar {
namespace {

UINT IconFor(TMsgBoxType type) {
  switch (type) {
    case mbtWarning: return MB_ICONWARNING;
    case mbtError: return MB_ICONERROR;
    case mbtConfirmation: return MB_ICONQUESTION;
    default: return MB_ICONINFORMATION;
  }
}

}  // namespace

std::uint16_t ShowMessageBoxEx(const std::string& title, const std::string& text, const std::string& detail,
                               TMsgBoxType type, TMsgBoxButtons buttons, std::int32_t, std::int32_t, TMsgBoxButton) {
  if (buttons == 0) buttons = MsgBoxButtonBit(mbbClose);
  std::string message = title.empty() ? text : title + "\n\n" + text;
  if (!detail.empty()) message += "\n\n" + detail;

  const bool ok = buttons & MsgBoxButtonBit(mbbOK);
  const bool cancel = buttons & MsgBoxButtonBit(mbbCancel);
  const UINT style = (ok && cancel ? MB_OKCANCEL : MB_OK) | IconFor(type) | MB_TOPMOST | MB_SETFOREGROUND;

  CursorOverrideScope arrow(::LoadCursorW(nullptr, IDC_ARROW));
  const int answer = ::MessageBoxW(nullptr, Utf8ToUtf16(message).c_str(),
                                   Utf8ToUtf16(Application::Instance().Title()).c_str(), style);
  if (ok && cancel) return answer == IDOK ? mrOk : mrCancel;
  if (answer == IDCANCEL && !ok) return mrCancel;  // close box or Esc
  // A single button: the result of the one that was asked for.
  if (ok) return mrOk;
  if (cancel) return mrCancel;
  if (buttons & MsgBoxButtonBit(mbbClose)) return mrClose;
  return mrOk;
}

std::uint16_t ShowMessageBox(const std::string& text, TMsgBoxType type, TMsgBoxButtons buttons,
                             std::int32_t helpContext, std::int32_t countdownTime, TMsgBoxButton countdownButton) {
  return ShowMessageBoxEx({}, text, {}, type, buttons, helpContext, countdownTime, countdownButton);
}

}  // namespace tolvar
