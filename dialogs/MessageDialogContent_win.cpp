#include "dialogs/MessageDialogContent_win.h"

namespace tolvar {

void ConfigureMessageDialog(TMessDlgForm& dialog, const MessageDialogContent& content) {
  dialog.SetSetupKey(content.setupKey);
  dialog.SetMessageType(content.type);
  dialog.SetTitle(content.title);
  dialog.SetMessageText(content.text);
  dialog.SetDetailMessage(content.detail);
  dialog.SetButtsSameWidth(content.buttsSameWidth);
  dialog.SetDialogRec(content.record);
  dialog.SetDialogWidth(content.width);
  if (content.itemReader) dialog.SetItemReader(content.itemReader);
  dialog.SetItemRange(content.firstItem, content.lastItem);
}

}  // namespace tolvar
