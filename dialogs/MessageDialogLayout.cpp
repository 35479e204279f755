#include "dialogs/MessageDialogLayout.h"

#include <algorithm>

namespace tolvar::dialog_layout {

int MessagePanelHeight(int messageLabelHeight, const DpiScale& scale) {
  return std::max(scale.Scale(kMinMessagePanelHeight),
                  scale.Scale(kMessageTextTopHeight) + scale.Scale(kMessageTextBottomHeight) + messageLabelHeight);
}

int DetailPanelHeightNeeded(int detailLabelHeight, const DpiScale& scale) {
  return std::max(scale.Scale(kDetailPanelMinHeight),
                  scale.Scale(kDetailTopHeight) + scale.Scale(kDetailBottomHeight) + detailLabelHeight);
}

int ButtonWidthForText(int textWidth, const DpiScale& scale) { return textWidth + scale.Scale(kButtonTextPadding); }

int ClientHeight(const PanelStack& panels, const DpiScale& scale) {
  int height = panels.message + panels.buttons;
  if (panels.taskButtons >= 0) height += panels.taskButtons;
  if (panels.detailMessage >= 0) height += panels.detailMessage;
  if (panels.itemTree >= 0) height += std::max(panels.itemTree, scale.Scale(kMinItemTreeHeight));
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

ButtonRow ArrangeButtons(const std::vector<int>& naturalWidths, bool sameWidth, int commonWidth,
                         const DpiScale& scale) {
  ButtonRow row;
  const int gap = scale.Scale(kButtonGap);
  int x = scale.Scale(kButtonFirstLeft);
  for (const int natural : naturalWidths) {
    const int width = sameWidth ? commonWidth : natural;
    row.lefts.push_back(x);
    row.widths.push_back(width);
    x += width + gap;
  }
  row.panelWidth = x + scale.Scale(kButtonsRightPadding);
  return row;
}

}  // namespace tolvar::dialog_layout
