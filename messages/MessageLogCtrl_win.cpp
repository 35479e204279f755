#include "messages/MessageLogCtrl_win.h"

#include "dialogs/MessageDialogForm_win.h"

namespace tolvar {

std::uint16_t TMessageLog::ShowMessageDialog(TMessageType type, const std::string& title, const std::string& text,
                                             const std::string& detail, const TDialogRec& record) const {
  if (!record.ShowDialog) return 0;
  // The dialog is freed on every way out, an exception included.
  TMessDlgForm dialog;
  dialog.SetSetupKey(kMessageDialogSetupKey);
  dialog.SetMessageType(type);
  dialog.SetTitle(title);
  dialog.SetMessageText(text);
  dialog.SetDetailMessage(detail);
  dialog.SetButtsSameWidth(dialogButtsSameWidth_);
  dialog.SetDialogRec(record);
  dialog.SetDialogWidth(dialogWidth_);
  dialog.SetItemRange(-1, -1);  // no related messages
  return dialog.Execute();
}

}  // namespace tolvar
