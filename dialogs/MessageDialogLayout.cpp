#include "dialogs/MessageDialogLayout.h"

#include <algorithm>

namespace tolvar::dialog_layout {

int MessagePanelHeight(int messageLabelHeight) {
  return std::max(kMinMessagePanelHeight, kMessageTextTopHeight + kMessageTextBottomHeight + messageLabelHeight);
}

int DetailPanelHeightNeeded(int detailLabelHeight) {
  return std::max(kDetailPanelMinHeight, kDetailTopHeight + kDetailBottomHeight + detailLabelHeight);
}

int ButtonWidthForText(int textWidth) { return textWidth + kButtonTextPadding; }

int ClientHeight(const PanelStack& panels) {
  int height = panels.message + panels.buttons;
  if (panels.taskButtons >= 0) height += panels.taskButtons;
  if (panels.detailMessage >= 0) height += panels.detailMessage;
  if (panels.itemTree >= 0) height += std::max(panels.itemTree, kMinItemTreeHeight);
  return height;
}

PanelTops ArrangePanels(const PanelStack& panels) {
  PanelTops tops;
  int y = panels.message;
  if (panels.taskButtons >= 0) {
    tops.taskButtons = y;
    y += panels.taskButtons;
  }
  tops.buttons = y;
  y += panels.buttons;
  if (panels.detailMessage >= 0) {
    tops.detailMessage = y;
    y += panels.detailMessage;
  }
  if (panels.itemTree >= 0) tops.itemTree = y;
  return tops;
}

ButtonRow ArrangeButtons(const std::vector<int>& naturalWidths, bool sameWidth, int commonWidth) {
  ButtonRow row;
  int x = kButtonFirstLeft;
  for (const int natural : naturalWidths) {
    const int width = sameWidth ? commonWidth : natural;
    row.lefts.push_back(x);
    row.widths.push_back(width);
    x += width + kButtonGap;
  }
  row.panelWidth = x + kButtonsRightPadding;
  return row;
}

}  // namespace tolvar::dialog_layout
