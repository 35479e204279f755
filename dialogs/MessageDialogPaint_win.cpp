// The message dialog's colours and drawing: the white message and task panels
// on the button-face ground, the separator lines in the colour manager's
// colour, the coloured title and the lighter task descriptions, the details
// switch's pictures and the hand over what can be clicked.
#include <algorithm>

#include "dialogs/DialogBitmaps_win.h"
#include "dialogs/MessageDialogForm_win.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

constexpr COLORREF kTitleColor = RGB(19, 112, 171);

COLORREF Lighten(COLORREF color) { return static_cast<COLORREF>(MixWithWhite20(static_cast<TColor>(color))); }

}  // namespace

void TMessDlgForm::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const PanelStack& panels = layout_.panels;
  const PanelTops& tops = layout_.tops;
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  RECT message{0, tops.message, client.right, tops.message + panels.message};
  ::FillRect(dc, &message, ::GetSysColorBrush(COLOR_WINDOW));
  if (panels.taskButtons >= 0) {
    RECT task{0, tops.taskButtons, client.right, tops.taskButtons + panels.taskButtons};
    ::FillRect(dc, &task, ::GetSysColorBrush(COLOR_WINDOW));
  }
  // The three separator lines along the tops of the bar, the pane and the tree.
  const UniqueBrush separator(::CreateSolidBrush(separatorColor_));
  for (const int top : {tops.buttons, tops.detailMessage, tops.itemTree}) {
    if (top < 0) continue;
    RECT line{0, top, client.right, top + Dpi().LineThickness()};
    ::FillRect(dc, &line, separator.get());
  }
}

bool TMessDlgForm::OnWindowSurface(HWND control) const {
  if (control == icon_ || control == title_ || control == message_) return true;
  return std::any_of(tasks_.begin(), tasks_.end(), [control](const TaskLink& task) {
    return control == task.arrow || control == task.link->Handle() || control == task.description;
  });
}

LRESULT TMessDlgForm::ControlColor(HDC dc, HWND control) {
  const bool windowSurface = OnWindowSurface(control);
  COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
  if (control == title_) {
    text = kTitleColor;
  } else if (std::any_of(tasks_.begin(), tasks_.end(),
                         [control](const TaskLink& task) { return control == task.description; })) {
    text = Lighten(::GetSysColor(COLOR_WINDOWTEXT));
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, ::GetSysColor(windowSurface ? COLOR_WINDOW : COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(windowSurface ? COLOR_WINDOW : COLOR_BTNFACE));
}

void TMessDlgForm::DrawDetailsButton(const DRAWITEMSTRUCT& item) {
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
  const HBITMAP strip = detailMessageVisible_ ? detailButUp_.get() : detailButDown_.get();
  const int image = ::IsWindowEnabled(item.hwndItem) ? 0 : 1;  // normal, disabled
  const int glyphWidth = Scale(kDetailGlyphWidth);
  const int glyphHeight = Scale(kDetailGlyphHeight);
  const int x = (item.rcItem.right - item.rcItem.left - glyphWidth) / 2;
  const int y = (item.rcItem.bottom - item.rcItem.top - glyphHeight) / 2;
  DrawStripImage(item.hDC, strip, glyphWidth, glyphHeight, image, x, y);
}

bool TMessDlgForm::WantsHandCursor(HWND control) const {
  if (control == detailsButton_ || control == detailsLabel_) return true;
  return std::any_of(tasks_.begin(), tasks_.end(), [control](const TaskLink& task) {
    return control == task.arrow || control == task.link->Handle();
  });
}

}  // namespace tolvar
