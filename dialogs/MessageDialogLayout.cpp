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

namespace {

// The task panel's links from its top, `width` wide; returns the panel's height.
int LayOutTaskLinks(const DialogMeasures& m, int panelTop, int width, std::vector<TaskLinkBoxes>& boxes) {
  const DpiScale& s = m.scale;
  int y = 0;
  for (const TaskLinkMeasures& task : m.tasks) {
    TaskLinkBoxes& placed = boxes.emplace_back();
    placed.arrow = {s.Scale(kTaskArrowLeft), panelTop + y + s.Scale(kTaskArrowTopOffset), s.Scale(kTaskArrowSize),
                    s.Scale(kTaskArrowSize)};
    placed.link = {s.Scale(kTaskLinkLeft), panelTop + y, width, s.Scale(kTaskLinkHeight)};
    y += s.Scale(kTaskLinkHeight) + s.Scale(kTaskDescriptionGap);
    placed.description = {s.Scale(kTaskLinkLeft), panelTop + y, width, task.descriptionHeight};
    y += task.descriptionHeight;
  }
  return y + s.Scale(kTaskPanelBottomGap);
}

std::vector<Box> LayOutButtons(const DialogMeasures& m, int barTop) {
  const DpiScale& s = m.scale;
  std::vector<int> naturalWidths;
  int commonWidth = s.Scale(kMinButtonWidth);
  for (const int textWidth : m.buttonTextWidths) {
    const int width = ButtonWidthForText(textWidth, s);
    commonWidth = std::max(commonWidth, width);
    naturalWidths.push_back(std::max(width, s.Scale(kMinButtonWidth)));
  }
  const ButtonRow row = ArrangeButtons(naturalWidths, m.buttonsSameWidth, commonWidth, s);
  // The row's panel is aligned to the right edge of the bar.
  const int rowLeft = m.clientWidth - row.panelWidth;
  std::vector<Box> boxes;
  for (std::size_t i = 0; i < row.lefts.size(); ++i) {
    boxes.push_back({rowLeft + row.lefts[i], barTop + s.Scale(kButtonTop), row.widths[i], s.Scale(kButtonHeight)});
  }
  return boxes;
}

}  // namespace

DialogLayout LayOutDialog(const DialogMeasures& m) {
  const DpiScale& s = m.scale;
  DialogLayout layout;

  // The heights first, then the panels stacked from them.
  PanelStack& panels = layout.panels;
  panels.message = MessagePanelHeight(m.messageHeight, s);
  panels.buttons = s.Scale(kButtsPanelHeight);
  if (m.detailPaneOpen) panels.detailMessage = std::max(m.detailPanelHeight, DetailPanelHeightNeeded(m.detailHeight, s));
  if (m.itemTree) panels.itemTree = std::max(m.itemTreeHeight, s.Scale(kMinItemTreeHeight));
  const int linkWidth = std::max(0, m.linkSpanWidth - s.Scale(kTaskLinkRightGap));
  if (!m.tasks.empty()) panels.taskButtons = LayOutTaskLinks(m, panels.message, linkWidth, layout.tasks);
  layout.tops = ArrangePanels(panels);
  layout.clientWidth = m.clientWidth;
  layout.clientHeight = ClientHeight(panels, s);
  const PanelTops& tops = layout.tops;

  // Message panel: the icon column (a narrow margin beside task links), the
  // title line and the message, and a right margin.
  const int textLeft = s.Scale(m.tasks.empty() ? kIconPanelWidth : kLeftTaskMessPanelWidth);
  const int textWidth = m.clientWidth - textLeft - s.Scale(kTextRightMargin);
  layout.icon = {s.Scale(kIconLeft), tops.message + s.Scale(kIconTop), s.Scale(kIconSize), s.Scale(kIconSize)};
  layout.title = {textLeft, tops.message + s.Scale(kTitleTop), std::max(0, textWidth - s.Scale(kTitleRightGap)),
                  s.Scale(kTitleHeight)};
  layout.message = {textLeft, tops.message + s.Scale(kMessageTextTopHeight), s.Scale(kMessageLabelWidth),
                    m.messageHeight};

  // Button bar: the details switch on the left, the push buttons right-aligned.
  layout.detailsButton = {s.Scale(kDetailsButtonLeft), tops.buttons + s.Scale(kDetailsButtonTop),
                          s.Scale(kDetailsButtonWidth), s.Scale(kDetailsButtonHeight)};
  // Room for the caption's last letter, whose smoothed edge may reach past its advance width.
  layout.detailsLabel = {s.Scale(kDetailsLabelLeft), tops.buttons + s.Scale(kDetailsLabelTop),
                         m.detailsCaptionWidth + s.Scale(2), m.detailsCaptionHeight};
  layout.buttons = LayOutButtons(m, tops.buttons);

  layout.detailMessage = {s.Scale(kDetailLabelLeft), tops.detailMessage + s.Scale(kDetailLabelTop),
                          s.Scale(kDetailLabelWidth), m.detailHeight};

  // The tree panel takes the rest of the client area: a strip with the
  // separator line on top, margins on the other sides.
  const int treeTop = tops.itemTree + s.Scale(kItemTreeTopHeight);
  const int margin = s.Scale(kItemTreeMargin);
  layout.itemsTree = {margin, treeTop, std::max(0, m.clientWidth - 2 * margin),
                      std::max(0, layout.clientHeight - treeTop - margin)};
  return layout;
}

}  // namespace tolvar::dialog_layout
