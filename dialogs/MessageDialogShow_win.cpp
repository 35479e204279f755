// The message dialog shown modally: the countdown that may press a button by
// itself, the colours of the current theme, and closing with the settings saved.
#include "dialogs/MessageDialogForm_win.h"
#include "dialogs/MessageDialogSettings_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/ThreadWindows_win.h"

namespace tolvar {

namespace {

constexpr UINT kCountdownInterval = 100;

std::uint64_t TickCount() { return Application::Instance().Clock().Now(); }

}  // namespace

std::uint16_t TMessDlgForm::Execute() {
  modalResult_ = 0;
  CenterOnScreen();  // at the final size
  ::ShowWindow(Handle(), SW_SHOW);
  ::SetForegroundWindow(Handle());
  FormShow();
  ::UpdateWindow(Handle());
  RunModalLoop(Handle(), [this] { return modalResult_ != 0; });
  // A quit request or a window that went away counts as cancelled.
  if (modalResult_ == 0) modalResult_ = mrCancel;
  FormClose();
  if (Exists()) ::ShowWindow(Handle(), SW_HIDE);
  return modalResult_;
}

void TMessDlgForm::FormShow() {
  if (record_.CountdownTime > 0) {
    countdown_.emplace(TickCount(), record_.CountdownTime);
    countdownTimerOn_ = ::SetTimer(Handle(), kCountdownTimerId, kCountdownInterval, nullptr) != 0;
  }
  ColorManagerThemeChange();
  trackItemTreeHeight_ = true;
  if (defaultButton_) {
    ::SetFocus(defaultButton_->handle);
  } else if (!tasks_.empty() || buttonList_.empty()) {
    ::SetFocus(Handle());  // no control is active
  } else {
    ::SetFocus(buttonList_.front()->handle);
  }
}

void TMessDlgForm::FormClose() {
  StopCountdownTimer();
  SaveMessageDialogSettings(setupKey_, {detailMessageVisible_, Dpi().Unscale(itemTreePanelHeight_)});
}

void TMessDlgForm::StopCountdownTimer() {
  if (countdownTimerOn_ && Exists()) ::KillTimer(Handle(), kCountdownTimerId);
  countdownTimerOn_ = false;
}

void TMessDlgForm::CountdownTimerTimer() {
  // A tick still queued when the countdown stopped finds the timer off.
  if (!countdownTimerOn_) return;
  if (!countdownButton_ || !countdown_) return;  // a countdown on no button only ticks
  SetText(countdownButton_->handle, CountdownCaption(countdownCaption_, countdown_->SecondsShown(TickCount())));
  if (countdown_->Expired(TickCount())) {
    StopCountdownTimer();
    SetText(countdownButton_->handle, countdownCaption_);
    ButtonClick(*countdownButton_);
  }
}

void TMessDlgForm::ColorManagerThemeChange() {
  separatorColor_ = static_cast<COLORREF>(colorManager_.Colors().SeparatorColor());
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

}  // namespace tolvar
