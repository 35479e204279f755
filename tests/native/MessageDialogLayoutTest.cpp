// The message dialog's geometry without a window: panel heights and the button
// row, at 100 % and at 150 %.
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

}  // namespace
}  // namespace tolvar
