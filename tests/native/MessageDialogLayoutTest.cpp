// The message dialog's geometry without a window: panel heights, the button
// row, and the whole layout computed from what the dialog measured, at 100 %
// and at 150 %.
#include "dialogs/MessageDialogLayout.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

using namespace dialog_layout;

constexpr DpiScale k150{144};

TEST(DialogLayout, MessagePanelIsAtLeast71) {
  EXPECT_EQ(MessagePanelHeight(13), 71);  // one line: 41 + 15 + 13 = 69, raised
  EXPECT_EQ(MessagePanelHeight(26), 82);  // two lines
  EXPECT_EQ(MessagePanelHeight(0), 71);
  EXPECT_EQ(DetailPanelHeightNeeded(13), 37);
  EXPECT_EQ(DetailPanelHeightNeeded(39), 51);
}

TEST(DialogLayout, PanelsStackInTheirOrderWhateverIsShown) {
  PanelStack panels;
  panels.message = 71;
  EXPECT_EQ(ClientHeight(panels), 71 + 45);
  panels.taskButtons = 100;
  panels.detailMessage = 37;
  panels.itemTree = 20;  // below the minimum: counted as 70
  EXPECT_EQ(ClientHeight(panels), 71 + 100 + 45 + 37 + 70);
  const PanelTops tops = ArrangePanels(panels);
  EXPECT_EQ(tops.message, 0);
  EXPECT_EQ(tops.taskButtons, 71);
  EXPECT_EQ(tops.buttons, 171);
  EXPECT_EQ(tops.detailMessage, 216);
  EXPECT_EQ(tops.itemTree, 253);
  panels.taskButtons = -1;
  panels.detailMessage = -1;
  const PanelTops fewer = ArrangePanels(panels);
  EXPECT_EQ(fewer.taskButtons, -1);
  EXPECT_EQ(fewer.buttons, 71);
  EXPECT_EQ(fewer.detailMessage, -1);
  EXPECT_EQ(fewer.itemTree, 116);
}

TEST(DialogLayout, ButtonsRightAlignedFivePixelsApart) {
  const ButtonRow same = ArrangeButtons({76, 90}, true, 104);
  EXPECT_EQ(same.lefts, (std::vector<int>{5, 114}));
  EXPECT_EQ(same.widths, (std::vector<int>{104, 104}));
  EXPECT_EQ(same.panelWidth, 5 + 104 + 5 + 104 + 5 + 15);  // 20 pixels after the last button
  const ButtonRow natural = ArrangeButtons({76, 90}, false, 104);
  EXPECT_EQ(natural.lefts, (std::vector<int>{5, 86}));
  EXPECT_EQ(natural.widths, (std::vector<int>{76, 90}));
  EXPECT_EQ(ArrangeButtons({}, true, 76).panelWidth, 20);
  EXPECT_EQ(ButtonWidthForText(90), 104);
}

TEST(DialogLayout, At150PercentEveryMarginAndMinimumIsScaled) {
  // A one-line message of 20 pixels: 62 + 23 + 20 = 105, raised to 107 (71 scaled).
  EXPECT_EQ(MessagePanelHeight(20, k150), 107);
  EXPECT_EQ(MessagePanelHeight(40, k150), 125);
  EXPECT_EQ(DetailPanelHeightNeeded(20, k150), 56);  // the 37 minimum, scaled
  EXPECT_EQ(DetailPanelHeightNeeded(60, k150), 78);
  EXPECT_EQ(ButtonWidthForText(90, k150), 111);
  PanelStack panels;
  panels.message = 107;
  panels.buttons = k150.Scale(kButtsPanelHeight);
  panels.itemTree = 50;  // below the scaled minimum of 105
  EXPECT_EQ(ClientHeight(panels, k150), 107 + 68 + 105);
  const ButtonRow row = ArrangeButtons({114, 150}, false, 0, k150);
  EXPECT_EQ(row.lefts, (std::vector<int>{8, 8 + 114 + 8}));
  EXPECT_EQ(row.panelWidth, 8 + 114 + 8 + 150 + 8 + 23);
}

// One dialog with everything: a two-line message, two task links, two buttons
// of one width, the details pane open and grown earlier, and a tree stored
// lower than its minimum. The links span the fixed-border client width (434),
// wider than the client (430) that the tree's sizing border left.
DialogMeasures EverythingShown() {
  DialogMeasures m;
  m.clientWidth = 430;
  m.linkSpanWidth = 434;
  m.messageHeight = 26;
  m.tasks = {{320, 13}, {320, 26}};
  m.buttonTextWidths = {20, 90};
  m.hasDetails = true;
  m.detailsCaptionWidth = 80;
  m.detailsCaptionHeight = 13;
  m.detailPaneOpen = true;
  m.detailHeight = 13;
  m.detailPanelHeight = 50;
  m.itemTree = true;
  m.itemTreeHeight = 20;
  return m;
}

TEST(DialogLayout, TheWholeDialogInOnePass) {
  const DialogLayout layout = LayOutDialog(EverythingShown());
  // Message 41 + 15 + 26; tasks (19 + 3 + 13) + (19 + 3 + 26) + 16; the pane
  // keeps its grown 50; the tree is raised to 70.
  EXPECT_EQ(layout.panels.message, 82);
  EXPECT_EQ(layout.panels.taskButtons, 99);
  EXPECT_EQ(layout.panels.detailMessage, 50);
  EXPECT_EQ(layout.panels.itemTree, 70);
  EXPECT_EQ(layout.clientHeight, 82 + 99 + 45 + 50 + 70);
  // Beside the task links the text starts at 20; the title ends 16 + 21 before the edge.
  EXPECT_EQ(layout.title, (Box{20, 15, 430 - 20 - 16 - 21, 21}));
  EXPECT_EQ(layout.message, (Box{20, 41, 329, 26}));
  ASSERT_EQ(layout.tasks.size(), 2u);
  EXPECT_EQ(layout.tasks[1].arrow, (Box{50, 82 + 35 + 4, 16, 16}));
  EXPECT_EQ(layout.tasks[1].link, (Box{80, 82 + 35, 434 - 96, 19}));
  EXPECT_EQ(layout.tasks[1].description, (Box{80, 82 + 35 + 22, 434 - 96, 26}));
  // The bar below the task panel: the switch, then both buttons 90 + 14 wide, 20 from the edge.
  EXPECT_EQ(layout.detailsButton, (Box{8, 181 + 11, 25, 24}));
  EXPECT_EQ(layout.detailsLabel, (Box{34, 181 + 15, 82, 13}));
  EXPECT_EQ(layout.buttons, (std::vector<Box>{{430 - 20 - 104 - 5 - 104, 191, 104, 25}, {430 - 20 - 104, 191, 104, 25}}));
  EXPECT_EQ(layout.detailMessage, (Box{34, 226 + 7, 366, 13}));
  // The tree takes the rest, within its margins.
  EXPECT_EQ(layout.itemsTree, (Box{6, 276 + 7, 430 - 12, layout.clientHeight - 276 - 7 - 6}));
}

TEST(DialogLayout, WithoutLinksPaneOrTreeOnlyTheMessageAndTheBarRemain) {
  DialogMeasures m = EverythingShown();
  m.tasks.clear();
  m.detailPaneOpen = false;
  m.itemTree = false;
  m.buttonsSameWidth = false;
  const DialogLayout layout = LayOutDialog(m);
  EXPECT_EQ(layout.panels.taskButtons, -1);
  EXPECT_EQ(layout.panels.detailMessage, -1);
  EXPECT_EQ(layout.panels.itemTree, -1);
  EXPECT_EQ(layout.clientHeight, 82 + 45);
  EXPECT_EQ(layout.message.left, 50);  // beside the icon column
  EXPECT_EQ(layout.buttons, (std::vector<Box>{{430 - 20 - 104 - 5 - 76, 92, 76, 25}, {430 - 20 - 104, 92, 104, 25}}));
  // At 150 % every figure is scaled, the measured ones come as measured.
  m.scale = DpiScale{144};
  m.clientWidth = 645;
  const DialogLayout scaled = LayOutDialog(m);
  EXPECT_EQ(scaled.panels.message, 62 + 23 + 26);  // 41 and 15 scaled, rounded as MulDiv rounds
  EXPECT_EQ(scaled.message, (Box{75, 62, 494, 26}));
  EXPECT_EQ(scaled.clientHeight, scaled.panels.message + 68);
}

}  // namespace
}  // namespace tolvar
