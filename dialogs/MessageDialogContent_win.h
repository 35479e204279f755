// What one message dialog shows, and the one order in which a dialog takes it:
// the setup key first (it decides the details pane and the tree's height), the
// record after the texts, the width after the record, the item range last.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/MessageDialogForm_win.h"
#include "dialogs/MessageDialogSettings_win.h"
#include "messages/MessageLogTypes.h"

namespace tolvar {

struct MessageDialogContent {
  TMessageType type = mltError;
  std::string title;  // empty: the type's own title
  std::string text;
  std::string detail;  // empty: no details
  bool buttsSameWidth = true;
  TDialogRec record;
  std::int32_t width = 440;
  // The related messages below the buttons; without a reader, or with an empty
  // range, there is no item tree.
  TItemReader itemReader;
  std::int32_t firstItem = -1;
  std::int32_t lastItem = -1;
  std::string setupKey = kMessageDialogSetupKey;
};

void ConfigureMessageDialog(TMessDlgForm& dialog, const MessageDialogContent& content);

}  // namespace tolvar
