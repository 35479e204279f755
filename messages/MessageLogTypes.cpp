#include "messages/MessageLogTypes.h"

#include <array>

#include "platform/Error.h"

namespace tolvar {
namespace {

// Caption, modal result, result code, default, cancel; indexed by kind.
constexpr std::array<StandardButtonSpec, kStandardButtonKindCount> kStandardButtons{{
    {TextId::ButtonContinue, 11, rcPositive, true, false},
    {TextId::ButtonYes, 6, rcPositive, true, false},
    {TextId::ButtonNo, 7, rcNegative, false, true},
    {TextId::ButtonOk, 1, rcPositive, true, false},
    {TextId::ButtonBack, 2, rcCancelled, false, true},
    {TextId::ButtonAbort, 3, rcCancelled, false, false},
    {TextId::ButtonRetry, 4, rcPositive, true, false},
    {TextId::ButtonIgnore, 5, rcNegative, false, false},
    {TextId::ButtonAll, 8, rcPositive, false, false},
    {TextId::ButtonClose, 9, rcNegative, false, true},
    {TextId::ButtonHelp, 0, rcNothing, false, false},
}};

}  // namespace

const StandardButtonSpec& StandardButtonSpecOf(int kind) {
  if (kind < 0 || kind >= kStandardButtonKindCount) throw Error("standard button kind out of range");
  return kStandardButtons[static_cast<std::size_t>(kind)];
}

TMessageDlgButton StandardButton(int kind) {
  const StandardButtonSpec& params = StandardButtonSpecOf(kind);
  TMessageDlgButton button;
  button.Caption = LoadText(params.caption);
  button.ModalResult = params.modalResult;
  button.ResultCode = params.resultCode;
  button.IsDefault = params.isDefault;
  button.IsCancel = params.isCancel;
  return button;
}

void BuildDialogRec(TDialogRec& record, bool showDialog, std::uint16_t buttons,
                    std::span<const TMessageDlgButton> customButtons, std::span<const TMessageDlgButton> taskButtons,
                    std::int32_t helpContext, std::int32_t countdownTime, std::uint8_t countdownButtonKind,
                    std::int32_t countdownButtonIndex, const std::string& caption, const std::string& iconName,
                    std::uint8_t optionFlag) {
  // Built into a fresh value first: the given lists may be the record's own.
  TDialogRec built;
  built.ShowDialog = showDialog;
  built.Buttons = buttons;
  built.CustomButtons.assign(customButtons.begin(), customButtons.end());
  built.TaskButtons.assign(taskButtons.begin(), taskButtons.end());
  built.HelpContext = helpContext;
  built.CountdownTime = countdownTime;
  built.CountdownButtonKind = countdownButtonKind;
  built.CountdownButtonIndex = countdownButtonIndex;
  built.Caption = caption;
  built.IconName = iconName;
  built.OptionFlag = optionFlag;
  record = std::move(built);
}

}  // namespace tolvar
