// The types every message travels in: its kind, the description of one button,
// the eleven standard buttons of the message dialog, and the message record
// TDialogRec that decides which buttons, task links, countdown, caption and icon
// the dialog shows. The message texts themselves travel beside the record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Texts.h"

namespace tolvar {

// The kind of a message; the dialog derives its default title and icon from it.
enum TMessageType : std::uint8_t {
  mltError = 0,
  mltWarning = 1,
  mltInformation = 2,
  mltConfirmation = 3,
};

// One push button or task link of the dialog.
struct TMessageDlgButton {
  std::string Caption;      // "&" marks the access key
  std::string Description;  // shown under a task link; empty for push buttons
  std::uint16_t ModalResult = 0;  // 0 leaves the dialog open
  std::uint16_t ResultCode = 0;   // second result recorded when pressed
  bool IsDefault = false;  // Enter; a default task link is bold
  bool IsCancel = false;   // Esc
  bool IsHelp = false;     // opens the application help at the dialog's help context

  friend bool operator==(const TMessageDlgButton&, const TMessageDlgButton&) = default;
};

// The dialog's built-in buttons, numbered as the bits of TDialogRec::Buttons.
enum TStandardButtonKind : std::uint8_t {
  sbkContinue = 0,
  sbkYes = 1,
  sbkNo = 2,
  sbkOk = 3,
  sbkBack = 4,
  sbkAbort = 5,
  sbkRetry = 6,
  sbkIgnore = 7,
  sbkAll = 8,
  sbkClose = 9,
  sbkHelp = 10,
};
constexpr int kStandardButtonKindCount = 11;
// The kind under which custom buttons are created (for CountdownButtonKind).
constexpr std::uint8_t kCustomButtonKind = 255;

// The result codes: what a choice means, condensed.
enum : std::uint16_t {
  rcNothing = 0,
  rcCancelled = 2,
  rcPositive = 6,
  rcNegative = 7,
};

struct StandardButtonSpec {
  TextId caption;
  std::uint16_t modalResult;
  std::uint16_t resultCode;
  bool isDefault;
  bool isCancel;
};

// The fixed description of standard button kind 0..10; raises Error for any
// other kind.
const StandardButtonSpec& StandardButtonSpecOf(int kind);

// The button description the dialog builds for standard kind 0..10: caption from
// the string table, empty description, not a help button.
TMessageDlgButton StandardButton(int kind);

// The message record. It owns its texts and lists: copying it copies everything,
// so two records never share anything that either side can change. A record that
// is created but not built is all zero.
struct TDialogRec {
  bool ShowDialog = false;       // false: the show operation returns 0 at once
  std::uint16_t Buttons = 0;     // bit n = standard button kind n (bits 0..10)
  std::vector<TMessageDlgButton> CustomButtons;  // created after the standard ones
  std::vector<TMessageDlgButton> TaskButtons;    // task links, in list order
  std::int32_t HelpContext = 0;
  std::int32_t CountdownTime = 0;           // milliseconds; > 0 starts a countdown
  std::uint8_t CountdownButtonKind = 0;     // used when CountdownButtonIndex < 0; 0 = none
  std::int32_t CountdownButtonIndex = 0;    // position over all created buttons; -1 = by kind
  std::string Caption;   // window caption; empty = the application's title
  std::string IconName;  // stock icon name; empty = the icon of the message type
  std::uint8_t OptionFlag = 0;  // carried and copied; nothing reads it

  friend bool operator==(const TDialogRec&, const TDialogRec&) = default;
};

// Resets `record` and fills it from the given values, in the record's field order.
void BuildDialogRec(TDialogRec& record, bool showDialog, std::uint16_t buttons,
                    std::span<const TMessageDlgButton> customButtons, std::span<const TMessageDlgButton> taskButtons,
                    std::int32_t helpContext, std::int32_t countdownTime, std::uint8_t countdownButtonKind,
                    std::int32_t countdownButtonIndex, const std::string& caption, const std::string& iconName,
                    std::uint8_t optionFlag);

}  // namespace tolvar
