// The message dialog's push buttons and task links: made from the record,
// measured for the layout, and what pressing them does.
#include "dialogs/MessageDialogForm_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Utf.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

constexpr COLORREF kTaskLinkColor = RGB(7, 74, 229);
constexpr int kTaskLinkFontHeight = -16;  // 12 point at 96 dpi; the link label scales it

}  // namespace

void TMessDlgForm::BuildButtons() {
  defaultButton_ = nullptr;
  buttonList_.clear();  // buttons of an earlier record stay on the bar
  for (int kind = 0; kind < kStandardButtonKindCount; ++kind) {
    if (record_.Buttons & (1u << kind)) AddButton(StandardButton(kind), kind);
  }
  for (const TMessageDlgButton& custom : record_.CustomButtons) AddButton(custom, kCustomButtonKind);
  // The links of an earlier record go: the task panel shows the record's own.
  DestroyTaskLinks();
  for (const TMessageDlgButton& task : record_.TaskButtons) AddTaskLink(task);
  ShowAsDefault(defaultButton_);
}

void TMessDlgForm::AddButton(const TMessageDlgButton& description, int kind) {
  const int position = static_cast<int>(buttonList_.size());
  auto button = std::make_unique<PushButton>();
  button->description = description;
  // Created at the designed size; Relayout places it.
  button->handle = CreateControl(
      Handle(), {.className = L"BUTTON", .text = description.Caption, .top = Scale(kButtonTop),
                 .width = Scale(kMinButtonWidth), .height = Scale(kButtonHeight),
                 .style = WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY,
                 .id = description.ModalResult != 0 ? description.ModalResult : kNoResultButtonId + position,
                 .font = KeptFont()});
  if (description.IsDefault) defaultButton_ = button.get();  // the last default button wins

  if (record_.CountdownTime > 0) {
    const bool carriesCountdown =
        record_.CountdownButtonIndex >= 0
            ? record_.CountdownButtonIndex == position
            : kind != sbkContinue && kind == record_.CountdownButtonKind;
    if (carriesCountdown) {
      SetText(button->handle, CountdownCaption(description.Caption, record_.CountdownTime / 1000));
      countdownButton_ = button.get();
      countdownCaption_ = description.Caption;
    }
  }

  buttonList_.push_back(button.get());
  createdButtons_.push_back(std::move(button));
}

int TMessDlgForm::CaptionWidth(const PushButton& button) const {
  // The caption is measured as written, access-key mark included, without a
  // countdown's seconds.
  const std::wstring caption = Utf8ToUtf16(button.description.Caption);
  SIZE size{};
  const WindowDC dc(Handle());
  const SelectObjectScope font(dc.get(), KeptFont());
  ::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size);
  return size.cx;
}

void TMessDlgForm::AddTaskLink(const TMessageDlgButton& description) {
  const int index = static_cast<int>(tasks_.size());
  TaskLink task;
  task.modalResult = description.ModalResult;
  task.resultCode = description.ResultCode;
  task.descriptionText = description.Description;
  // The texts wrap at the width the window has now; a later width only widens
  // the controls.
  task.wrapWidth = Dpi().Unscale(LinkSpanWidth(NonClientSize()) - Scale(kTaskLinkRightGap));

  task.arrow = CreateControl(Handle(), {.className = L"STATIC", .style = SS_BITMAP | SS_NOTIFY,
                                        .id = kTaskArrowControlId + index});
  ::SendMessageW(task.arrow, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(taskArrow_.get()));

  task.link = std::make_unique<TLabelLink>(Handle(), kTaskLinkLeft, 0, 0, kTaskLinkHeight, kTaskLinkControlId + index);
  TLabelLink& link = *task.link;
  LabelFont font{.name = L"Trebuchet MS", .height = kTaskLinkFontHeight, .bold = description.IsDefault,
                 .color = kTaskLinkColor};
  link.SetFont(font);
  font.underline = true;
  link.SetHotTrackFont(font);
  const std::uint16_t modalResult = description.ModalResult;
  const std::uint16_t resultCode = description.ResultCode;
  link.SetOnLinkLabelExecute([this, modalResult, resultCode](TLabelLink&) { TaskClick(modalResult, resultCode); });
  link.SetCaption(description.Caption);
  link.SetTag(static_cast<std::int32_t>(modalResult | (static_cast<std::uint32_t>(resultCode) << 16)));

  task.description = CreateControl(Handle(), {.className = L"STATIC", .text = description.Description,
                                              .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                              .id = kTaskDescriptionControlId + index, .font = KeptFont()});
  tasks_.push_back(std::move(task));
}

void TMessDlgForm::DestroyTaskLinks() {
  for (TaskLink& task : tasks_) {
    ::DestroyWindow(task.arrow);
    ::DestroyWindow(task.description);
  }
  tasks_.clear();  // the link labels destroy their own windows
}

std::vector<HWND> TMessDlgForm::PushButtons() const {
  std::vector<HWND> handles;
  for (const PushButton* button : buttonList_) handles.push_back(button->handle);
  return handles;
}

HWND TMessDlgForm::DefaultButton() const noexcept { return defaultButton_ ? defaultButton_->handle : nullptr; }

HWND TMessDlgForm::CountdownButton() const noexcept { return countdownButton_ ? countdownButton_->handle : nullptr; }

TMessDlgForm::PushButton* TMessDlgForm::FindButton(HWND handle) const {
  for (const auto& button : createdButtons_) {
    if (button->handle == handle) return button.get();
  }
  return nullptr;
}

const TMessDlgForm::TaskLink* TMessDlgForm::FindTaskArrow(HWND handle) const {
  for (const TaskLink& task : tasks_) {
    if (task.arrow == handle) return &task;
  }
  return nullptr;
}

// --- Pressing -------------------------------------------------------------------

void TMessDlgForm::ButtonClick(const PushButton& button) {
  if (button.description.IsHelp) {
    if (helpContext_ > 0) Application::Instance().HelpContext(helpContext_);
  } else {
    resultCode_ = button.description.ResultCode;
  }
  if (button.description.ModalResult != 0) SetModalResult(button.description.ModalResult);
}

void TMessDlgForm::SetModalResult(std::uint16_t result) {
  modalResult_ = result;
  // A click sent from another thread is handled inside GetMessage, which then
  // keeps waiting: wake the modal loop so that it sees the result.
  if (result != 0) ::PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TMessDlgForm::TaskClick(std::uint16_t modalResult, std::uint16_t resultCode) {
  // A link without a modal result records its code and leaves the dialog open.
  resultCode_ = resultCode;
  SetModalResult(modalResult);
}

void TMessDlgForm::ShowAsDefault(const PushButton* shown) {
  for (const auto& button : createdButtons_) {
    ::SendMessageW(button->handle, BM_SETSTYLE, button.get() == shown ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

}  // namespace tolvar
