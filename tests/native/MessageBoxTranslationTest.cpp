// The message box front end's translations: the caller's type, buttons and
// countdown button into the message record that the dialog shows.
#include "dialogs/GMessDlg.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(MessageBoxTranslation, TypesPutWarningAndErrorTheOtherWayRound) {
  EXPECT_EQ(MapMsgBoxType(mbtWarning), mltWarning);
  EXPECT_EQ(MapMsgBoxType(mbtError), mltError);
  EXPECT_EQ(MapMsgBoxType(mbtInformation), mltInformation);
  EXPECT_EQ(MapMsgBoxType(mbtConfirmation), mltConfirmation);
  EXPECT_EQ(MapMsgBoxType(mbtCustom), mltInformation);
  EXPECT_EQ(MapMsgBoxType(static_cast<TMsgBoxType>(7)), mltInformation);
  EXPECT_EQ(MapMsgBoxType(static_cast<TMsgBoxType>(255)), mltInformation);
}

TEST(MessageBoxTranslation, ButtonSets) {
  EXPECT_EQ(MapMsgBoxButtons(0x0008), 0x0010);  // Back
  EXPECT_EQ(MapMsgBoxButtons(0x000C), 0x0018);  // OK, Back
  EXPECT_EQ(MapMsgBoxButtons(0x0100), 0x0200);  // Close
  EXPECT_EQ(MapMsgBoxButtons(0x0400), 0x0001);  // Continue
  EXPECT_EQ(MapMsgBoxButtons(0), 0x0200);       // nothing asked for: Close
  EXPECT_EQ(MapMsgBoxButtons(0x0800), 0);       // only an undefined bit: not replaced, dropped
  EXPECT_EQ(MapMsgBoxButtons(0xF800), 0);
  EXPECT_EQ(MapMsgBoxButtons(0x07FF), 0x07FF);  // every button: kinds 0..10
  for (int n = 0; n <= 9; ++n) {
    EXPECT_EQ(MapMsgBoxButtons(static_cast<TMsgBoxButtons>(1u << n)), 1u << (n + 1)) << n;
  }
}

TEST(MessageBoxTranslation, CountdownButtonContinueCarriesNone) {
  for (int n = 0; n <= 9; ++n) EXPECT_EQ(MapMsgBoxButton(static_cast<TMsgBoxButton>(n)), n + 1);
  EXPECT_EQ(MapMsgBoxButton(mbbContinue), 0);
  EXPECT_EQ(MapMsgBoxButton(static_cast<TMsgBoxButton>(11)), 0);
}

TEST(MessageBoxTranslation, TheRecordOfTheFrontEnd) {
  const TDialogRec record = BuildMessageBoxRecord(0x000C, 7, 5000, mbbOK);
  EXPECT_TRUE(record.ShowDialog);
  EXPECT_EQ(record.Buttons, 0x0018);
  EXPECT_TRUE(record.CustomButtons.empty());
  EXPECT_TRUE(record.TaskButtons.empty());
  EXPECT_EQ(record.HelpContext, 7);
  EXPECT_EQ(record.CountdownTime, 5000);
  EXPECT_EQ(record.CountdownButtonKind, sbkOk);
  EXPECT_EQ(record.CountdownButtonIndex, -1);
  EXPECT_TRUE(record.Caption.empty());
  EXPECT_TRUE(record.IconName.empty());
  EXPECT_EQ(record.OptionFlag, 1);
}

}  // namespace
}  // namespace tolvar
