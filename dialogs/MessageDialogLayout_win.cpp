// Laying the message dialog out: the fonts and pictures of its DPI, and one
// pass that measures the texts, computes every place from the state
// (dialog_layout::LayOutDialog) and applies it. Configuration, the user's
// clicks and drags and a DPI change all end here.
//
// The dialog's panels are regions of the client area rather than windows of
// their own: from the top the message panel, the task panel, the button bar,
// the details pane and the item tree panel. The controls are direct children
// of the dialog, placed by panel.
#include <algorithm>
#include <utility>

#include "dialogs/DialogBitmaps_win.h"
#include "dialogs/MessageDialogForm_win.h"
#include "platform/Controls_win.h"
#include "platform/Dpi_win.h"
#include "platform/Texts.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

constexpr int kTitleFontPoints = 12;
constexpr int kFormFontPoints = 8;

// The labels show text as it is: "&" is not an access-key mark in a message.
constexpr UINT kLabelDrawFlags = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

void Place(HWND control, const Box& box) {
  ::SetWindowPos(control, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowControl(HWND control, bool shown) { ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE); }

}  // namespace

void TMessDlgForm::ApplyScale() {
  const DpiScale& scale = Dpi();
  std::vector<HWND> shownInFormFont{Handle(), message_, detailsLabel_, detailMessage_};
  for (const auto& button : createdButtons_) shownInFormFont.push_back(button->handle);
  for (const TaskLink& task : tasks_) shownInFormFont.push_back(task.description);
  // The tree too, so that no control is left with the font that goes now.
  if (itemsTree_ && itemsTree_->Handle()) shownInFormFont.push_back(itemsTree_->Handle());
  const HFONT formFont = SetDialogFont(L"Tahoma", kFormFontPoints, shownInFormFont);
  UniqueFont titleFont = CreateFontByHeight(L"Trebuchet MS", scale.FontHeight(kTitleFontPoints), FW_BOLD);
  ::SendMessageW(title_, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont.get()), TRUE);
  titleFont_ = std::move(titleFont);
  for (const TaskLink& task : tasks_) task.link->SetDpi(scale);
  if (itemsTree_) itemsTree_->SetScale(scale, formFont);

  // The pictures drawn for this DPI, before the ones shown now go.
  UniqueBitmap up = LoadBitmapOnSurface(L"DETAILBUTUP", kDetailGlyphCount, kDetailGlyphWidth, kDetailGlyphHeight,
                                        scale, ::GetSysColor(COLOR_BTNFACE));
  UniqueBitmap down = LoadBitmapOnSurface(L"DETAILBUTDOWN", kDetailGlyphCount, kDetailGlyphWidth,
                                          kDetailGlyphHeight, scale, ::GetSysColor(COLOR_BTNFACE));
  UniqueBitmap arrow = LoadBitmapOnSurface(L"TASKARROW", 1, kTaskArrowSize, kTaskArrowSize, scale,
                                           ::GetSysColor(COLOR_WINDOW));
  for (const TaskLink& task : tasks_) {
    ::SendMessageW(task.arrow, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(arrow.get()));
  }
  detailButUp_ = std::move(up);
  detailButDown_ = std::move(down);
  taskArrow_ = std::move(arrow);
  ::InvalidateRect(detailsButton_, nullptr, TRUE);
  UpdateIcon();
}

void TMessDlgForm::OnDpiChanged(const RECT* suggested) {
  const DpiScale from = std::exchange(laidOutAt_, Dpi());
  // What was measured or dragged at the old scale, carried over to the new one.
  detailPanelHeight_ = detailPanelTaken_.Carry(detailPanelHeight_, from, Dpi());
  itemTreePanelHeight_ = itemTreeHeightTaken_.Carry(itemTreePanelHeight_, from, Dpi());
  if (designedWidth_ > 0) {
    fixedWidth_ = Scale(designedWidth_);
  } else {
    const RECT frame = FrameForClient({0, 0, Scale(kDesignedClientWidth), Scale(kDesignedClientHeight)},
                                      static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)),
                                      static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)), Dpi().dpi);
    fixedWidth_ = frame.right - frame.left;
  }
  if (suggested) {
    ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyScale();
  Relayout();
}

// --- One pass -----------------------------------------------------------------

void TMessDlgForm::Relayout() {
  // The border first: it decides the client area the rest is laid out in.
  SetSizeableBorder(itemTreeVisible_);
  // The open pane shows the selected item's detail, or the dialog's own for a
  // group or without a tree.
  if (DetailPaneOpen()) ShowDetailText(ShownDetailText());
  const SIZE nonClient = NonClientSize();
  const DialogMeasures measures = Measure(nonClient);
  const DialogLayout layout = LayOutDialog(measures);
  // What the layout settled becomes the state: the pane grew to fit its text,
  // a tree lower than the minimum was raised to it.
  if (measures.detailPaneOpen) detailPanelHeight_ = layout.panels.detailMessage;
  if (itemTreeVisible_) itemTreePanelHeight_ = layout.panels.itemTree;
  // The new layout first: the size limits the window answers while it is
  // sized (WM_GETMINMAXINFO) follow from it.
  layout_ = layout;
  {
    const OwnResize ownResize(trackItemTreeHeight_);
    ::SetWindowPos(Handle(), nullptr, 0, 0, fixedWidth_, layout.clientHeight + nonClient.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyLayout(layout);
}

DialogMeasures TMessDlgForm::Measure(const SIZE& nonClient) const {
  DialogMeasures m;
  m.scale = Dpi();
  m.clientWidth = fixedWidth_ - nonClient.cx;
  m.linkSpanWidth = LinkSpanWidth(nonClient);
  m.messageHeight = MeasureWrapped(messageText_, Scale(kMessageLabelWidth));
  for (const TaskLink& task : tasks_) {
    m.tasks.push_back({Scale(task.wrapWidth), MeasureWrapped(task.descriptionText, Scale(task.wrapWidth))});
  }
  for (const PushButton* button : buttonList_) m.buttonTextWidths.push_back(CaptionWidth(*button));
  m.buttonsSameWidth = buttsSameWidth_;
  m.hasDetails = HasDetails();
  const SIZE caption =
      MeasureText(Handle(), KeptFont(), LoadText(TextId::MoreInformation), 0, DT_SINGLELINE | DT_NOPREFIX);
  m.detailsCaptionWidth = caption.cx;
  m.detailsCaptionHeight = caption.cy;
  m.detailPaneOpen = DetailPaneOpen();
  if (m.detailPaneOpen) m.detailHeight = MeasureWrapped(shownDetail_, Scale(kDetailLabelWidth));
  m.detailPanelHeight = detailPanelHeight_;
  m.itemTree = itemTreeVisible_;
  m.itemTreeHeight = itemTreePanelHeight_;
  return m;
}

int TMessDlgForm::MeasureWrapped(const std::string& text, int width) const {
  return MeasureText(Handle(), KeptFont(), text, width, kLabelDrawFlags).cy;
}

void TMessDlgForm::ApplyLayout(const DialogLayout& layout) {
  const bool withTasks = !tasks_.empty();
  const bool hasDetails = HasDetails();
  ShowControl(icon_, !withTasks);
  Place(icon_, layout.icon);
  Place(title_, layout.title);
  Place(message_, layout.message);

  for (std::size_t i = 0; i < tasks_.size() && i < layout.tasks.size(); ++i) {
    const TaskLink& task = tasks_[i];
    // The link wraps at its own width while the mouse is over it.
    if (task.link->MaxWidth() != Scale(task.wrapWidth)) task.link->SetMaxWidth(Scale(task.wrapWidth));
    Place(task.arrow, layout.tasks[i].arrow);
    Place(task.link->Handle(), layout.tasks[i].link);
    Place(task.description, layout.tasks[i].description);
  }

  ShowControl(detailsButton_, hasDetails);
  ShowControl(detailsLabel_, hasDetails);
  Place(detailsButton_, layout.detailsButton);
  Place(detailsLabel_, layout.detailsLabel);
  // DETAILBUTUP while the pane is open, DETAILBUTDOWN while it is closed.
  if (hasDetails) ::InvalidateRect(detailsButton_, nullptr, TRUE);
  for (std::size_t i = 0; i < buttonList_.size() && i < layout.buttons.size(); ++i) {
    Place(buttonList_[i]->handle, layout.buttons[i]);
  }

  const bool paneOpen = layout.panels.detailMessage >= 0;
  ShowControl(detailMessage_, paneOpen);
  if (paneOpen) Place(detailMessage_, layout.detailMessage);

  if (itemsTree_) {
    ShowControl(itemsTree_->Handle(), itemTreeVisible_);
    if (itemTreeVisible_) Place(itemsTree_->Handle(), layout.itemsTree);
  }
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TMessDlgForm::ShowDetailText(const std::string& text) {
  if (text == shownDetail_) return;
  shownDetail_ = text;
  SetText(detailMessage_, text);
}

std::string TMessDlgForm::ShownDetailText() const {
  // The selected item's own detail; a group node, or no selection, shows the dialog's.
  const std::int32_t index = SelectedItemIndex();
  if (index < 0 || !itemReader_) return detailMessageText_;
  TDialogItem item;
  itemReader_(index, true, item);
  return item.Detail;
}

// --- The window's frame ---------------------------------------------------------

void TMessDlgForm::SetSizeableBorder(bool sizeable) {
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  const LONG_PTR wanted = sizeable ? (style | WS_THICKFRAME) : (style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
  if (wanted == style) return;
  const OwnResize ownResize(trackItemTreeHeight_);
  ::SetWindowLongPtrW(Handle(), GWL_STYLE, wanted);
  // The outer width stays the fixed width; the frame change only moves the client edge.
  ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

SIZE TMessDlgForm::NonClientSize() const {
  // As the frame is drawn now, which under Wine may be another DPI's than the window's.
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  return {(frame.right - frame.left) - client.right, (frame.bottom - frame.top) - client.bottom};
}

int TMessDlgForm::LinkSpanWidth(const SIZE& nonClient) const {
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
  int sizingBorder = 0;
  if (style & WS_THICKFRAME) {
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
    const RECT sizeable = FrameForClient({0, 0, 100, 100}, style, exStyle, Dpi().dpi);
    const RECT fixed = FrameForClient({0, 0, 100, 100}, style & ~WS_THICKFRAME, exStyle, Dpi().dpi);
    sizingBorder = (sizeable.right - sizeable.left) - (fixed.right - fixed.left);
  }
  return fixedWidth_ - nonClient.cx + sizingBorder;
}

}  // namespace tolvar
