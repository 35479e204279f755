#include "archive/MessWait_win.h"

#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Path.h"
#include "platform/Picture_win.h"
#include "platform/Texts.h"
#include "platform/ThreadWindows_win.h"
#include "resources/WaitPictures.h"

namespace tolvar {

std::unique_ptr<TWaitForm> WaitForm;

namespace {

constexpr int kClientWidth = 361;
constexpr int kClientHeight = 114;
constexpr int kAbortButtonId = IDCANCEL;

// Image0..Image2 are the pendulum at the right, lowest in the middle and at the
// left; Image3 is the clock above them.
constexpr int kPictures[4] = {IDI_WAIT_PENDULUM_RIGHT, IDI_WAIT_PENDULUM_MIDDLE, IDI_WAIT_PENDULUM_LEFT,
                              IDI_WAIT_CLOCK};

constexpr int kPictureSize = 32;
constexpr int kFontPoints = 8;

void SetVisible(HWND control, bool visible) {
  if (control) ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

TWaitForm::TWaitForm(const WaitControls& controls) {
  // Dialog border, no caption-bar buttons.
  CreateWindowObject({.name = L"TWaitForm"},
                     {.caption = LoadText(TextId::WaitCaption), .style = WS_POPUP | WS_CAPTION,
                      .exStyle = WS_EX_DLGMODALFRAME, .left = 0, .top = 0, .clientWidth = kClientWidth,
                      .clientHeight = kClientHeight});
  const HWND form = Handle();

  // In the designed creation order, which is also their Z order (first on top).
  const auto picture = [&](int index, bool visible) {
    if (controls.pictures) images_[index] = CreateControl(form, {.style = SS_ICON, .visible = visible});
  };
  picture(1, false);
  picture(2, false);
  picture(0, true);
  if (controls.waitLabel) {
    waitLbl_ = CreateControl(form, {.text = LoadText(TextId::PleaseWait), .style = SS_CENTER | SS_NOPREFIX});
  }
  picture(3, true);
  textLbl_ = CreateControl(form, {.style = SS_CENTER | SS_NOPREFIX | SS_EDITCONTROL});
  myGauge_ = std::make_unique<TNGauge>(form, 5, 45, 351, 16);
  myGauge_->SetForeColor(clNavy);
  myGauge_->SetProgress(0);
  if (controls.abortButton) {
    prerusitBut_ = CreateControl(form, {.className = L"BUTTON", .text = LoadText(TextId::WaitAbortButton),
                                        .style = BS_DEFPUSHBUTTON | WS_TABSTOP, .id = kAbortButtonId,
                                        .visible = false});
  }
  LayOut();
  CenterOnScreen();
  FormCreate();
}

void TWaitForm::LayOut() {
  const DpiScale& scale = Dpi();
  // "MS Sans Serif", 8 points at the window's DPI.
  const HFONT font = SetDialogFont(L"MS Sans Serif", kFontPoints, {Handle(), waitLbl_, textLbl_, prerusitBut_});
  myGauge_->SetDpi(scale);
  myGauge_->SetFont(font);

  if (picturesLoaded_) LoadPictures();

  SetClientSize(scale.Scale(kClientWidth), scale.Scale(kClientHeight));
  const auto place = [&](HWND control, int left, int top, int width, int height) {
    if (!control) return;
    ::SetWindowPos(control, nullptr, scale.Scale(left), scale.Scale(top), scale.Scale(width), scale.Scale(height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  };
  for (int i = 0; i < 3; ++i) place(images_[i], 165, 53, kPictureSize, kPictureSize);
  place(images_[3], 165, 22, kPictureSize, kPictureSize);
  place(waitLbl_, 5, 85, 351, 13);
  place(textLbl_, 5, 5, 351, 26);
  place(myGauge_->Handle(), 5, 45, 351, 16);
  place(prerusitBut_, 140, 80, 81, 26);
}

void TWaitForm::LoadPictures() {
  if (!images_[0]) return;  // a window without the clock
  // At the size of this DPI, each before the one it replaces goes.
  for (int i = 0; i < 4; ++i) {
    UniqueIcon icon = IconFromPicture(LoadIconFilePicture(kPictures[i], kPictureSize, Dpi()));
    ::SendMessageW(images_[i], STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
    icons_[i] = std::move(icon);
  }
  picturesLoaded_ = true;
}

void TWaitForm::OnDpiChanged(const RECT* suggested) {
  Window::OnDpiChanged(suggested);
  LayOut();
}

TWaitForm::~TWaitForm() {
  // The window goes before the pictures that its controls show.
  Destroy();
}

void TWaitForm::FormCreate() { aborted_ = false; }

void TWaitForm::PrerusitButClick() { aborted_ = true; }

bool TWaitForm::PreTranslateMessage(MSG& message) {
  // The abort button is the default and the cancel button: Enter and Esc press it.
  if (message.message == WM_KEYDOWN && (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE) &&
      ::IsWindowVisible(prerusitBut_)) {
    PrerusitButClick();
    return true;
  }
  return false;
}

LRESULT TWaitForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kAbortButtonId && HIWORD(wParam) == BN_CLICKED) {
        PrerusitButClick();
        return 0;
      }
      break;
    case WM_SETCURSOR:
      // The hourglass over the whole window, unless the user may abort.
      if (LOWORD(lParam) == HTCLIENT && !Application::Instance().CursorOverride()) {
        ::SetCursor(::LoadCursorW(nullptr, showAbort_ ? IDC_ARROW : IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
      if (::IsWindowVisible(prerusitBut_)) ::SetFocus(prerusitBut_);
      return 0;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, RGB(0, 0, 0));
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void TWaitForm::Setup(const std::string& text, std::int32_t maximum, bool showAbort, std::uint16_t stepInterval) {
  SetText(textLbl_, ShortString(text));

  waitMaximum_ = maximum;
  myGauge_->SetProgress(0);
  myGauge_->SetMaxValue(maximum);
  SetVisible(myGauge_->Handle(), maximum != 0);
  // Only the clock shows pictures: a window with a gauge does not make them.
  if (maximum == 0 && !picturesLoaded_) LoadPictures();
  SetVisible(images_[3], maximum == 0);
  SetVisible(images_[0], maximum == 0);

  stepInterval_ = stepInterval;
  stepCount_ = 0;
  frames_ = PendulumFrames{};

  showAbort_ = showAbort;
  SetVisible(waitLbl_, !showAbort);
  SetVisible(prerusitBut_, showAbort);
}

void TWaitForm::Step() {
  if (!Exists()) return;
  ++stepCount_;  // 16 bits: wraps from 65535 to 0
  if (waitMaximum_ != 0) {
    // Past the maximum the gauge ignores the value and stays full.
    if (myGauge_->Progress() < INT32_MAX) myGauge_->SetProgress(myGauge_->Progress() + 1);
    if (IsPumpStep(stepCount_, stepInterval_)) Application::Instance().ProcessMessages();
    return;
  }
  if (stepInterval_ == 0) {
    Application::Instance().ProcessMessages();
    return;
  }
  if (!IsPumpStep(stepCount_, stepInterval_)) return;
  const std::uint16_t old = frames_.Advance();
  SetVisible(images_[frames_.index], true);
  SetVisible(images_[old], false);
  Application::Instance().ProcessMessages();
}

void TWaitForm::RestoreOthers() {
  if (!othersDisabled_) return;
  if (::GetActiveWindow() != Handle()) othersDisabled_->ForgetActivation();  // someone else took over
  othersDisabled_.reset();
}

void ShowWait(std::unique_ptr<TWaitForm>& form, const std::string& text, std::int32_t maximum, bool showAbort,
              std::uint16_t stepInterval) {
  // One wait window at a time: an earlier one would otherwise stay up, out of reach.
  if (form) CloseWait(form);
  form = std::make_unique<TWaitForm>(
      WaitControls{.pictures = maximum == 0, .waitLabel = !showAbort, .abortButton = showAbort});
  TWaitForm& window = *form;
  window.Setup(text, maximum, showAbort, stepInterval);

  // A dragging or menu-tracking window lets go of the mouse first.
  if (const HWND capture = ::GetCapture()) ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ::ReleaseCapture();

  window.othersDisabled_.emplace(window.Handle());

  ::ShowWindow(window.Handle(), SW_SHOW);
  ::SetActiveWindow(window.Handle());
  ::UpdateWindow(window.Handle());
  Application::Instance().ProcessMessages();
}

void StepWait(std::unique_ptr<TWaitForm>& form) {
  if (form) form->Step();
}

void CloseWait(std::unique_ptr<TWaitForm>& form) {
  if (!form) return;
  form->RestoreOthers();
  form.reset();
}

}  // namespace tolvar
