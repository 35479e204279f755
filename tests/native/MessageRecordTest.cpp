// The message record and the standard buttons.
#include <gtest/gtest.h>

#include "messages/MessageLogTypes.h"
#include "platform/Error.h"

namespace tolvar {
namespace {

TEST(StandardButtons, CaptionsResultsAndMarksOfAllElevenKinds) {
  struct Expected {
    const char* caption;
    std::uint16_t modalResult, resultCode;
    bool isDefault, isCancel;
  };
  const Expected expected[kStandardButtonKindCount] = {
      {"Po&kračovat", 11, 6, true, false},  {"&Ano", 6, 6, true, false},
      {"&Ne", 7, 7, false, true},           {"OK", 1, 6, true, false},
      {"Zpět", 2, 2, false, true},          {"&Přerušit", 3, 2, false, false},
      {"&Obnovit", 4, 6, true, false},      {"&Ignorovat", 5, 7, false, false},
      {"&Vše", 8, 6, false, false},         {"&Zavřít", 9, 7, false, true},
      {"&Nápověda", 0, 0, false, false},
  };
  for (int kind = 0; kind < kStandardButtonKindCount; ++kind) {
    SCOPED_TRACE(kind);
    const TMessageDlgButton button = StandardButton(kind);
    EXPECT_EQ(button.Caption, expected[kind].caption);
    EXPECT_EQ(button.ModalResult, expected[kind].modalResult);
    EXPECT_EQ(button.ResultCode, expected[kind].resultCode);
    EXPECT_EQ(button.IsDefault, expected[kind].isDefault);
    EXPECT_EQ(button.IsCancel, expected[kind].isCancel);
    EXPECT_TRUE(button.Description.empty());
    EXPECT_FALSE(button.IsHelp);  // the standard help button too
  }
  EXPECT_THROW(StandardButtonSpecOf(11), Error);
}

TEST(DialogRecord, ACreatedRecordIsAllZero) {
  const TDialogRec record;
  EXPECT_FALSE(record.ShowDialog);
  EXPECT_EQ(record.Buttons, 0);
  EXPECT_TRUE(record.CustomButtons.empty());
  EXPECT_TRUE(record.TaskButtons.empty());
  EXPECT_EQ(record.HelpContext, 0);
  EXPECT_EQ(record.CountdownTime, 0);
  EXPECT_EQ(record.CountdownButtonKind, 0);
  EXPECT_EQ(record.CountdownButtonIndex, 0);
  EXPECT_TRUE(record.Caption.empty());
  EXPECT_TRUE(record.IconName.empty());
  EXPECT_EQ(record.OptionFlag, 0);
}

TEST(DialogRecord, BuildFillsEveryFieldAndResetsWhatWasThere) {
  TMessageDlgButton custom{"Uložit", "", 1, 6, true, false, false};
  TMessageDlgButton task{"Pokračovat", "Další krok", 11, 6, false, false, false};
  TDialogRec record;
  record.TaskButtons = {task, task, task};
  record.IconName = "old";
  const TMessageDlgButton customs[] = {custom, custom};
  BuildDialogRec(record, true, 0x0018, customs, {}, 42, 5000, 3, 1, "Titulek", "#32514", 1);
  EXPECT_TRUE(record.ShowDialog);
  EXPECT_EQ(record.Buttons, 0x0018);
  ASSERT_EQ(record.CustomButtons.size(), 2u);
  EXPECT_EQ(record.CustomButtons[1], custom);
  EXPECT_TRUE(record.TaskButtons.empty());  // the earlier list is gone
  EXPECT_EQ(record.HelpContext, 42);
  EXPECT_EQ(record.CountdownTime, 5000);
  EXPECT_EQ(record.CountdownButtonKind, 3);
  EXPECT_EQ(record.CountdownButtonIndex, 1);
  EXPECT_EQ(record.Caption, "Titulek");
  EXPECT_EQ(record.IconName, "#32514");
  EXPECT_EQ(record.OptionFlag, 1);

  // Building a record from its own lists keeps them.
  BuildDialogRec(record, true, 0, record.CustomButtons, record.CustomButtons, 0, 0, 0, -1, {}, {}, 0);
  EXPECT_EQ(record.CustomButtons.size(), 2u);
  EXPECT_EQ(record.TaskButtons.size(), 2u);
}

TEST(DialogRecord, ACopySharesNothingWithItsSource) {
  TDialogRec source;
  const TMessageDlgButton buttons[] = {{"A", "a", 1, 6, true, false, false}};
  BuildDialogRec(source, true, 8, buttons, buttons, 0, -1, 0, -1, "Caption", "", 1);
  TDialogRec copy = source;
  EXPECT_EQ(copy, source);
  copy.CustomButtons[0].Caption = "B";
  copy.TaskButtons.push_back(buttons[0]);
  copy.Caption += "!";
  EXPECT_EQ(source.CustomButtons[0].Caption, "A");
  EXPECT_EQ(source.TaskButtons.size(), 1u);
  EXPECT_EQ(source.Caption, "Caption");
}

}  // namespace
}  // namespace tolvar
