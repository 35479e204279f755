#include "messages/MessageLogCtrl_win.h"

#include "dialogs/MessageDialogContent_win.h"

namespace tolvar {

std::uint16_t TMessageLog::ShowMessageDialog(TMessageType type, const std::string& title, const std::string& text,
                                             const std::string& detail, const TDialogRec& record) const {
  if (!record.ShowDialog) return 0;
  // The dialog is freed on every way out, an exception included.
  TMessDlgForm dialog;
  // No related messages: no item tree.
  ConfigureMessageDialog(dialog, {.type = type, .title = title, .text = text, .detail = detail,
                                  .buttsSameWidth = dialogButtsSameWidth_, .record = record, .width = dialogWidth_});
  return dialog.Execute();
}

}  // namespace tolvar
