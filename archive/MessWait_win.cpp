#include "archive/MessWait_win.h"

#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Path.h"
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

// A picture is a whole .ico file stored as RCDATA: its directory (6 bytes, then
// 16 per image) gives the offset and size of the 32 x 32 image.
UniqueIcon LoadPicture(int id) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
  const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const auto* file = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
  const DWORD fileSize = found ? ::SizeofResource(module, found) : 0;
  if (!file || fileSize < 6) return {};
  const auto word = [&](DWORD at) { return static_cast<DWORD>(file[at] | file[at + 1] << 8); };
  const auto dword = [&](DWORD at) { return word(at) | word(at + 2) << 16; };
  const DWORD count = word(4);
  for (DWORD i = 0; i < count && 6 + 16 * (i + 1) <= fileSize; ++i) {
    const DWORD entry = 6 + 16 * i;
    const DWORD size = dword(entry + 8);
    const DWORD offset = dword(entry + 12);
    if (file[entry] != 32 || offset > fileSize || size > fileSize - offset) continue;
    return UniqueIcon(::CreateIconFromResourceEx(const_cast<BYTE*>(file + offset), size, TRUE, 0x00030000, 32, 32,
                                                 LR_DEFAULTCOLOR));
  }
  return {};
}

// "MS Sans Serif", 8 points at the screen's resolution.
UniqueFont CreateFormFont() {
  const WindowDC screen(nullptr);
  return CreateFontByHeight(L"MS Sans Serif", -::MulDiv(8, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72));
}

void SetVisible(HWND control, bool visible) { ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE); }

}  // namespace

TWaitForm::TWaitForm() : font_(CreateFormFont()) {
  // Dialog border, no caption-bar buttons.
  if (!CreateWindowObject({.name = L"TWaitForm"},
                          {.caption = LoadText(TextId::WaitCaption), .style = WS_POPUP | WS_CAPTION,
                           .exStyle = WS_EX_DLGMODALFRAME, .left = 0, .top = 0, .clientWidth = kClientWidth,
                           .clientHeight = kClientHeight})) {
    return;
  }
  const HWND form = Handle();
  const HFONT font = font_.get();

  // In the designed creation order, which is also their Z order (first on top).
  const auto picture = [&](int index, int top, bool visible) {
    icons_[index] = LoadPicture(kPictures[index]);
    images_[index] = CreateControl(form, {.left = 165, .top = top, .width = 32, .height = 32, .style = SS_ICON,
                                          .visible = visible});
    ::SendMessageW(images_[index], STM_SETICON, reinterpret_cast<WPARAM>(icons_[index].get()), 0);
  };
  picture(1, 53, false);
  picture(2, 53, false);
  picture(0, 53, true);
  waitLbl_ = CreateControl(form, {.text = LoadText(TextId::PleaseWait), .left = 5, .top = 85, .width = 351,
                                  .height = 13, .style = SS_CENTER | SS_NOPREFIX, .font = font});
  picture(3, 22, true);
  textLbl_ = CreateControl(form, {.left = 5, .top = 5, .width = 351, .height = 26,
                                  .style = SS_CENTER | SS_NOPREFIX | SS_EDITCONTROL, .font = font});
  myGauge_ = std::make_unique<TNGauge>(form, 5, 45, 351, 16);
  myGauge_->SetFont(font);
  myGauge_->SetForeColor(clNavy);
  myGauge_->SetProgress(0);
  prerusitBut_ = CreateControl(form, {.className = L"BUTTON", .text = LoadText(TextId::WaitAbortButton),
                                      .left = 140, .top = 80, .width = 81, .height = 26,
                                      .style = BS_DEFPUSHBUTTON | WS_TABSTOP, .id = kAbortButtonId,
                                      .visible = false, .font = font});
  CenterOnScreen();
  FormCreate();
}

TWaitForm::~TWaitForm() {
  // The window goes before the pictures and the font that its controls show.
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
  if (!Exists()) return;  // no window could be made: the steps do nothing
  SetText(textLbl_, ShortString(text));

  waitMaximum_ = maximum;
  myGauge_->SetProgress(0);
  myGauge_->SetMaxValue(maximum);
  SetVisible(myGauge_->Handle(), maximum != 0);
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
  if (::GetActiveWindow() != Handle()) savedActiveWindow_ = nullptr;  // someone else took over
  EnableWindows(disabledWindows_);
  if (savedActiveWindow_ && ::IsWindow(savedActiveWindow_)) ::SetActiveWindow(savedActiveWindow_);
}

void ShowWait(std::unique_ptr<TWaitForm>& form, const std::string& text, std::int32_t maximum, bool showAbort,
              std::uint16_t stepInterval) {
  // One wait window at a time: an earlier one would otherwise stay up, out of reach.
  if (form) CloseWait(form);
  form = std::make_unique<TWaitForm>();
  TWaitForm& window = *form;
  window.Setup(text, maximum, showAbort, stepInterval);

  // A dragging or menu-tracking window lets go of the mouse first.
  if (const HWND capture = ::GetCapture()) ::SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ::ReleaseCapture();

  window.savedActiveWindow_ = ::GetActiveWindow();
  window.disabledWindows_ = DisableThreadWindows(window.Handle());

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
