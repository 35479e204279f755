// The message dialog's input: the keys (Enter, Esc, Tab, the arrows, access
// keys), mouse presses that cancel the countdown, the details switch, and the
// window messages that reach the dialog.
#include <windowsx.h>

#include <algorithm>

#include "dialogs/MessageDialogForm_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Utf.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

// The platform's case mapping, which knows Czech letters; the C library's
// knows only ASCII in the default locale.
wchar_t UpperCase(wchar_t character) {
  wchar_t text[1] = {character};
  ::CharUpperBuffW(text, 1);
  return text[0];
}

// The access key of a caption: the character after a single "&".
wchar_t AccessKeyOf(const std::string& caption) {
  const std::wstring text = Utf8ToUtf16(caption);
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return UpperCase(text[i + 1]);
    ++i;  // "&&" is a plain ampersand
  }
  return 0;
}

}  // namespace

void TMessDlgForm::DetailsButClick() {
  detailMessageVisible_ = !detailMessageVisible_;
  Relayout();
}

// --- Keyboard -----------------------------------------------------------------

TMessDlgForm::PushButton* TMessDlgForm::FocusedButton() const { return FindButton(::GetFocus()); }

TMessDlgForm::PushButton* TMessDlgForm::FirstCancelButton() const {
  for (const auto& button : createdButtons_) {
    if (button->description.IsCancel && ::IsWindowVisible(button->handle)) return button.get();
  }
  return nullptr;
}

TMessDlgForm::PushButton* TMessDlgForm::ButtonWithAccessKey(wchar_t key) const {
  const wchar_t upper = UpperCase(key);
  for (const auto& button : createdButtons_) {
    if (::IsWindowVisible(button->handle) && AccessKeyOf(button->description.Caption) == upper) return button.get();
  }
  return nullptr;
}

void TMessDlgForm::MoveFocus(int step) {
  // The arrows step through the push buttons in their order, round the row.
  const std::vector<HWND> stops = PushButtons();
  if (stops.empty()) return;
  const auto count = static_cast<int>(stops.size());
  const auto focused = std::find(stops.begin(), stops.end(), ::GetFocus());
  int index = focused == stops.end() ? (step > 0 ? -1 : 0) : static_cast<int>(focused - stops.begin());
  index = ((index + step) % count + count) % count;
  ::SetFocus(stops[static_cast<std::size_t>(index)]);
}

void TMessDlgForm::FormKeyPress(wchar_t key) {
  if (key != L'\r') return;
  for (const TMessageDlgButton& task : record_.TaskButtons) {
    if (task.IsDefault) TaskClick(task.ModalResult, task.ResultCode);
  }
}

void TMessDlgForm::EnterPressed() {
  // The preview sees Enter first and does not consume it: a default task link
  // with a modal result closes the dialog, otherwise the key goes on to the
  // focused push button, else the default one.
  FormKeyPress(L'\r');
  if (modalResult_ != 0) return;
  if (PushButton* button = FocusedButton() ? FocusedButton() : defaultButton_) ButtonClick(*button);
}

// --- Mouse ----------------------------------------------------------------------

void TMessDlgForm::FormMouseDown() {
  // The user's attention cancels the countdown for good.
  if (!countdownButton_) return;
  StopCountdownTimer();
  SetText(countdownButton_->handle, countdownCaption_);
}

bool TMessDlgForm::IsMouseDownTarget(const MSG& message) const {
  if (message.hwnd == Handle()) {
    return IsMouseDownSurfaceAt(POINT{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)});
  }
  return message.hwnd == icon_ || message.hwnd == message_ || message.hwnd == detailsButton_ ||
         message.hwnd == detailsLabel_ || message.hwnd == ItemsTreeView() || FindButton(message.hwnd) != nullptr;
}

bool TMessDlgForm::IsMouseDownSurfaceAt(POINT point) const {
  const PanelStack& panels = layout_.panels;
  const PanelTops& tops = layout_.tops;
  const int width = layout_.clientWidth;
  const bool withTasks = !tasks_.empty();
  const auto within = [&](int top, int height) { return top >= 0 && point.y >= top && point.y < top + height; };
  if (within(tops.message, panels.message)) {
    // The icon column and the strip above the message; not the margins around the text.
    if (point.x < Scale(withTasks ? kLeftTaskMessPanelWidth : kIconPanelWidth)) return !withTasks;
    if (point.x >= width - Scale(kTextRightMargin)) return false;
    return point.y - tops.message < Scale(kMessageTextTopHeight);
  }
  if (within(tops.buttons, panels.buttons)) return true;
  if (within(tops.detailMessage, panels.detailMessage)) {
    const int y = point.y - tops.detailMessage;
    return point.x < Scale(kDetailMarginLeft) && y >= Scale(kDetailTopHeight) &&
           y < panels.detailMessage - Scale(kDetailBottomHeight);
  }
  return within(tops.itemTree, std::max(panels.itemTree, Scale(kMinItemTreeHeight)));
}

bool TMessDlgForm::PreTranslateMessage(MSG& message) {
  switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      if (IsMouseDownTarget(message)) FormMouseDown();
      return false;
    case WM_KEYDOWN:
      switch (message.wParam) {
        case VK_RETURN:
          EnterPressed();
          return true;
        case VK_ESCAPE:
          if (PushButton* button = FirstCancelButton()) {
            ButtonClick(*button);
            return true;
          }
          return false;
        case VK_TAB:
          // The platform's tab order: the visible tab stops (the push buttons and
          // the item tree when it is shown) in the order they were created.
          {
            const HWND focus = ::GetFocus();
            const HWND from = focus == Handle() ? nullptr : focus;  // the window itself: from the start
            if (const HWND next = ::GetNextDlgTabItem(Handle(), from, ::GetKeyState(VK_SHIFT) < 0)) ::SetFocus(next);
          }
          return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
          // In the item tree the arrows walk the nodes.
          if (message.hwnd == ItemsTreeView()) return false;
          MoveFocus(message.wParam == VK_LEFT || message.wParam == VK_UP ? -1 : 1);
          return true;
        default:
          return false;
      }
    case WM_CHAR:
      // A plain letter is an access key only while a push button has the focus,
      // as in the platform's dialogs; any other control, the item tree with its
      // incremental search above all, gets its characters.
      if (message.wParam > L' ' && FocusedButton()) {
        if (PushButton* button = ButtonWithAccessKey(static_cast<wchar_t>(message.wParam))) {
          ButtonClick(*button);
          return true;
        }
      }
      return false;
    case WM_SYSCHAR:
      // Alt with a button's access key presses it, wherever the focus is.
      if (PushButton* button = ButtonWithAccessKey(static_cast<wchar_t>(message.wParam))) {
        ButtonClick(*button);
        return true;
      }
      return false;
    default:
      return false;
  }
}

// --- Window messages ------------------------------------------------------------

LRESULT TMessDlgForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem != detailsButton_) break;
      DrawDetailsButton(item);
      return TRUE;
    }
    case WM_COMMAND: {
      const auto control = reinterpret_cast<HWND>(lParam);
      const UINT code = HIWORD(wParam);
      if (PushButton* button = FindButton(control)) {
        if (code == BN_CLICKED) ButtonClick(*button);
        if (code == BN_SETFOCUS) ShowAsDefault(button);
        return 0;
      }
      if (code == STN_CLICKED || code == STN_DBLCLK) {
        if (control == detailsButton_ || control == detailsLabel_) {
          // A double click toggles once: its first press already did.
          if (code == STN_CLICKED) DetailsButClick();
        } else if (const TaskLink* task = FindTaskArrow(control)) {
          if (code == STN_CLICKED) TaskClick(task->modalResult, task->resultCode);
        }
        return 0;
      }
      break;
    }
    case WM_SETCURSOR:
      if (!Application::Instance().CursorOverride() && LOWORD(lParam) == HTCLIENT &&
          WantsHandCursor(reinterpret_cast<HWND>(wParam))) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (wParam == kCountdownTimerId) {
        CountdownTimerTimer();
        return 0;
      }
      break;
    case WM_CLOSE:
      // The close box cancels; ResultCode keeps what a button may have set.
      SetModalResult(mrCancel);
      return 0;
    case WM_GETMINMAXINFO:
      // With the fixed dialog border the platform's limits stand.
      if (itemTreeVisible_) {
        AnswerMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return 0;
      }
      break;
    case WM_SIZE:
      ItemTreePanelResize(static_cast<int>(HIWORD(lParam)));
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (itemsTree_ && header.hwndFrom == itemsTree_->Handle() &&
          (header.code == TVN_SELCHANGEDW || header.code == TVN_SELCHANGEDA)) {
        ItemsTreeViewChange();
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace tolvar
