// Building, configuring, laying out and painting the message dialog. Input,
// countdown, showing and closing are in MessageDialogInput_win.cpp.
//
// The dialog's panels are regions of the client area rather than windows of
// their own: from the top the message panel, the task panel, the button bar,
// the details pane and the item tree panel, stacked by ArrangePanels. The
// controls are direct children of the dialog, placed by panel. The item tree
// itself is in MessageDialogItemTree_win.cpp.
#include "dialogs/MessageDialogForm_win.h"

#include <algorithm>

#include "dialogs/DialogBitmaps_win.h"
#include "dialogs/MessageDialogSettings_win.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Error.h"
#include "platform/Text.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

constexpr COLORREF kTitleColor = RGB(19, 112, 171);
constexpr COLORREF kTaskLinkColor = RGB(7, 74, 229);
constexpr int kTaskLinkFontHeight = -16;  // 12 point
constexpr int kTitleFontHeight = -16;     // 12 point
constexpr int kFormFontHeight = -11;      // 8 point

// Stock icons of the message types, by TMessageType.
constexpr WORD kTypeIcons[] = {32513 /* hand */, 32515 /* exclamation */, 32516 /* asterisk */,
                               32514 /* question */};

// The labels show text as it is: "&" is not an access-key mark in a message.
constexpr UINT kLabelDrawFlags = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

TextId DefaultTitleOf(TMessageType type) {
  switch (type) {
    case mltError: return TextId::TitleError;
    case mltWarning: return TextId::TitleWarning;
    case mltInformation: return TextId::TitleInformation;
    default: return TextId::TitleConfirmation;
  }
}

// A stock icon by name: "#32514" or "32514" name it by number, anything else
// is looked up as a name among the system's own icons.
HICON LoadStockIcon(const std::string& name) {
  std::string_view digits = name;
  if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  if (!digits.empty() && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [](char c) {
        return c >= '0' && c <= '9';
      })) {
    const unsigned long number = std::stoul(std::string(digits));
    if (number <= 0xFFFF) return ::LoadIconW(nullptr, MAKEINTRESOURCEW(number));
  }
  return ::LoadIconW(nullptr, Utf8ToUtf16(name).c_str());
}

COLORREF Lighten(COLORREF color) {
  return static_cast<COLORREF>(MixWithWhite20(static_cast<TColor>(color)));
}

}  // namespace

TMessDlgForm::TMessDlgForm() {
  if (!CreateWindowObject({.name = kMessageDialogClassName},
                          {.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                           .exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT,
                           .clientWidth = kDesignedClientWidth, .clientHeight = kDesignedClientHeight})) {
    throw Error("cannot create the message dialog");
  }

  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  fixedWidth_ = frame.right - frame.left;
  separatorColor_ = static_cast<COLORREF>(colorManager_.Colors().SeparatorColor());
  colorManager_.SetOnThemeChange([this](TColorManager&) { ColorManagerThemeChange(); });
  CreateControls();
  UpdateIcon();
  UpdateDetails();
}

TMessDlgForm::~TMessDlgForm() {
  // Destroy the window while every member it may still use is alive.
  StopCountdownTimer();
  Destroy();
}

void TMessDlgForm::CreateControls() {
  formFont_ = CreateFontByHeight(L"Tahoma", kFormFontHeight);
  titleFont_ = CreateFontByHeight(L"Trebuchet MS", kTitleFontHeight, FW_BOLD);
  detailButUp_ = LoadBitmapOnSurface(L"DETAILBUTUP", ::GetSysColor(COLOR_BTNFACE));
  detailButDown_ = LoadBitmapOnSurface(L"DETAILBUTDOWN", ::GetSysColor(COLOR_BTNFACE));
  taskArrow_ = LoadBitmapOnSurface(L"TASKARROW", ::GetSysColor(COLOR_WINDOW));
  ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);

  // Every static reports clicks (SS_NOTIFY), so that a press on it reaches the
  // countdown's cancel rule through its own handle.
  const HWND form = Handle();
  icon_ = CreateControl(form, {.className = L"STATIC", .left = kIconLeft, .top = kIconTop, .width = kIconSize,
                               .height = kIconSize, .style = SS_ICON | SS_NOTIFY, .id = kIconControlId});
  title_ = CreateControl(form, {.className = L"STATIC", .height = kTitleHeight,
                                .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, .id = kTitleControlId,
                                .font = titleFont_.get()});
  message_ = CreateControl(form, {.className = L"STATIC", .width = kMessageLabelWidth,
                                  .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY, .id = kMessageControlId,
                                  .font = formFont_.get()});
  detailsButton_ = CreateControl(form, {.className = L"STATIC", .width = kDetailsButtonWidth,
                                        .height = kDetailsButtonHeight, .style = SS_OWNERDRAW | SS_NOTIFY,
                                        .id = kDetailsButtonControlId});
  const std::string moreInformation = LoadText(TextId::MoreInformation);
  detailsLabel_ = CreateControl(form, {.className = L"STATIC", .text = moreInformation,
                                       .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                       .id = kDetailsLabelControlId, .font = formFont_.get()});
  {
    // The label sizes itself to its caption, with room for the last letter's
    // smoothed edge, which may reach past its advance width.
    const WindowDC dc(detailsLabel_);
    const SelectObjectScope font(dc.get(), formFont_.get());
    const std::wstring text = Utf8ToUtf16(moreInformation);
    RECT bounds{};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds,
                DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    ::SetWindowPos(detailsLabel_, nullptr, 0, 0, bounds.right + 2, bounds.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  detailMessage_ = CreateControl(form, {.className = L"STATIC", .width = kDetailLabelWidth,
                                        .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY, .id = kDetailMessageControlId,
                                        .visible = false, .font = formFont_.get()});
  itemsTree_ = std::make_unique<TItemsTreeView>(form, kItemsTreeControlId, formFont_.get());
}

// --- Configuration ----------------------------------------------------------

void TMessDlgForm::SetSetupKey(const std::string& key) {
  setupKey_ = key;
  const MessageDialogSettings settings = LoadMessageDialogSettings(key);
  detailMessageVisible_ = settings.detailMessageVisible;
  itemTreePanelHeight_ = settings.itemTreePanelHeight;
}

void TMessDlgForm::SetMessageType(TMessageType type) {
  messageType_ = type;
  UpdateIcon();
  NameFirstNodeAfterType();
  SetTitle(titleText_);
}

void TMessDlgForm::SetTitle(const std::string& title) {
  if (!title.empty()) {
    titleText_ = title;
  } else if (messageType_ <= mltConfirmation) {
    titleText_ = LoadText(DefaultTitleOf(messageType_));
  }
  SetText(title_, titleText_);
}

void TMessDlgForm::SetMessageText(const std::string& text) {
  messageText_ = text;
  MessageLblResizeRequest(SetLabelText(message_, text));
}

void TMessDlgForm::SetDetailMessage(const std::string& text) {
  detailMessageText_ = text;
  hasDetailMessage_ = !text.empty();
  UpdateDetails();
}

void TMessDlgForm::SetButtsSameWidth(bool sameWidth) {
  buttsSameWidth_ = sameWidth;
  ArrangeButtons();
}

void TMessDlgForm::SetDialogRec(const TDialogRec& record) {
  record_ = record;
  UpdateIcon();
  BuildButtons();
  helpContext_ = record_.HelpContext;
  SetText(Handle(), record_.Caption.empty() ? Application::Instance().Title() : record_.Caption);
}

void TMessDlgForm::SetDialogWidth(int width) {
  const int oldClientWidth = ClientWidth();
  fixedWidth_ = width;
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  ::SetWindowPos(Handle(), nullptr, 0, 0, width, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Task links and their descriptions keep their right margin.
  const int grown = ClientWidth() - oldClientWidth;
  for (TaskLink& task : tasks_) {
    for (const HWND control : {task.link->Handle(), task.description}) {
      RECT bounds{};
      ::GetWindowRect(control, &bounds);
      ::SetWindowPos(control, nullptr, 0, 0, std::max(0, static_cast<int>(bounds.right - bounds.left) + grown),
                     bounds.bottom - bounds.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  ArrangePanels();
}

void TMessDlgForm::SetItemRange(std::int32_t first, std::int32_t last) {
  const bool wasTracking = std::exchange(trackItemTreeHeight_, false);
  itemTreeVisible_ = first >= 0 && last >= first;
  trackItemTreeHeight_ = wasTracking;
  // The border first, so that the client height set below is the one that stays.
  SetSizeableBorder(itemTreeVisible_);
  if (itemTreeVisible_) FillItemsTree(first, last);
  UpdateClientHeight();
  ArrangePanels();
}

void TMessDlgForm::UpdateIcon() {
  const HICON icon = record_.IconName.empty()
                         ? ::LoadIconW(nullptr, MAKEINTRESOURCEW(kTypeIcons[std::min<int>(messageType_, 3)]))
                         : LoadStockIcon(record_.IconName);
  ::SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

// --- Buttons and task links -------------------------------------------------

void TMessDlgForm::BuildButtons() {
  defaultButton_ = nullptr;
  buttonList_.clear();  // buttons of an earlier record stay on the bar
  commonButtonWidth_ = kMinButtonWidth;
  for (int kind = 0; kind < kStandardButtonKindCount; ++kind) {
    if (record_.Buttons & (1u << kind)) AddButton(StandardButton(kind), kind);
  }
  for (const TMessageDlgButton& custom : record_.CustomButtons) AddButton(custom, kCustomButtonKind);

  taskPanelVisible_ = !record_.TaskButtons.empty();
  ::ShowWindow(icon_, taskPanelVisible_ ? SW_HIDE : SW_SHOW);
  if (taskPanelVisible_) {
    int y = 0;
    for (const TMessageDlgButton& task : record_.TaskButtons) AddTaskLink(task, y);
    taskPanelHeight_ = y + kTaskPanelBottomGap;
  }
  ShowAsDefault(defaultButton_);
  ArrangeButtons();
}

void TMessDlgForm::AddButton(const TMessageDlgButton& description, int kind) {
  const int position = static_cast<int>(buttonList_.size());
  auto button = std::make_unique<PushButton>();
  button->description = description;
  button->handle = CreateControl(
      Handle(), {.className = L"BUTTON", .text = description.Caption, .top = kButtonTop, .width = kMinButtonWidth,
                 .height = kButtonHeight, .style = WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY,
                 .id = description.ModalResult != 0 ? description.ModalResult : kNoResultButtonId + position,
                 .font = formFont_.get()});
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

  // The caption is measured as written, access-key mark included.
  const std::wstring caption = Utf8ToUtf16(description.Caption);
  SIZE size{};
  {
    const WindowDC dc(Handle());
    const SelectObjectScope font(dc.get(), formFont_.get());
    ::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size);
  }
  const int width = ButtonWidthForText(size.cx);
  commonButtonWidth_ = std::max(commonButtonWidth_, width);
  button->naturalWidth = std::max(width, kMinButtonWidth);

  buttonList_.push_back(button.get());
  createdButtons_.push_back(std::move(button));
}

void TMessDlgForm::AddTaskLink(const TMessageDlgButton& description, int& y) {
  const int index = static_cast<int>(tasks_.size());
  const int linkWidth = ClientWidth() - kTaskLinkRightGap;
  TaskLink task;
  task.modalResult = description.ModalResult;
  task.resultCode = description.ResultCode;
  task.top = y;

  task.arrow = CreateControl(Handle(), {.className = L"STATIC", .width = kTaskArrowSize, .height = kTaskArrowSize,
                                        .style = SS_BITMAP | SS_NOTIFY, .id = kTaskArrowControlId + index});
  ::SendMessageW(task.arrow, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(taskArrow_.get()));

  task.link = std::make_unique<TLabelLink>(Handle(), kTaskLinkLeft, y, linkWidth, kTaskLinkHeight,
                                           kTaskLinkControlId + index);
  TLabelLink& link = *task.link;
  link.SetMaxWidth(linkWidth);
  ::SetWindowPos(link.Handle(), nullptr, 0, 0, linkWidth, kTaskLinkHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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

  task.descriptionTop = y + kTaskLinkHeight + kTaskDescriptionGap;
  task.description = CreateControl(Handle(), {.className = L"STATIC", .width = linkWidth,
                                              .height = kTaskDescriptionHeight,
                                              .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                              .id = kTaskDescriptionControlId + index, .font = formFont_.get()});
  const int descriptionHeight = SetLabelText(task.description, description.Description);
  y += kTaskLinkHeight + descriptionHeight + kTaskDescriptionGap;
  tasks_.push_back(std::move(task));
}

void TMessDlgForm::ArrangeButtons() {
  std::vector<int> widths;
  for (const PushButton* button : buttonList_) widths.push_back(button->naturalWidth);
  buttonRow_ = dialog_layout::ArrangeButtons(widths, buttsSameWidth_, commonButtonWidth_);
  ArrangePanels();
}

// --- Layout -----------------------------------------------------------------

int TMessDlgForm::ClientWidth() const {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  return client.right;
}

dialog_layout::PanelStack TMessDlgForm::Panels() const {
  PanelStack panels;
  panels.message = messagePanelHeight_;
  panels.taskButtons = taskPanelVisible_ ? taskPanelHeight_ : -1;
  panels.detailMessage = detailPanelVisible_ ? detailPanelHeight_ : -1;
  panels.itemTree = itemTreeVisible_ ? itemTreePanelHeight_ : -1;
  return panels;
}

int TMessDlgForm::MeasureLabel(HWND label, int width) const {
  std::wstring text = Utf8ToUtf16(GetText(label));
  if (text.empty()) text = L" ";  // an empty label is one line high
  const WindowDC dc(label);
  const SelectObjectScope font(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT bounds{0, 0, width, 0};
  ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &bounds, kLabelDrawFlags | DT_CALCRECT);
  return bounds.bottom - bounds.top;
}

int TMessDlgForm::SetLabelText(HWND label, const std::string& text) {
  SetText(label, text);
  RECT bounds{};
  ::GetWindowRect(label, &bounds);
  const int height = MeasureLabel(label, bounds.right - bounds.left);
  ::SetWindowPos(label, nullptr, 0, 0, bounds.right - bounds.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return height;
}

void TMessDlgForm::MessageLblResizeRequest(int labelHeight) {
  messageLabelHeight_ = labelHeight;
  const bool wasTracking = std::exchange(trackItemTreeHeight_, false);
  messagePanelHeight_ = MessagePanelHeight(labelHeight);
  trackItemTreeHeight_ = wasTracking;
  UpdateClientHeight();
  ArrangePanels();
}

void TMessDlgForm::DetailMessageLblResizeRequest(int labelHeight) {
  detailLabelHeight_ = labelHeight;
  // The pane grows to fit and never shrinks while the window lives.
  const int needed = DetailPanelHeightNeeded(labelHeight);
  if (detailPanelHeight_ < needed) {
    detailPanelHeight_ = needed;
    UpdateClientHeight();
  }
  ArrangePanels();
}

void TMessDlgForm::UpdateClientHeight() {
  if (itemTreeVisible_ && itemTreePanelHeight_ < kMinItemTreeHeight) {
    const bool wasTracking = std::exchange(trackItemTreeHeight_, false);
    itemTreePanelHeight_ = kMinItemTreeHeight;
    trackItemTreeHeight_ = wasTracking;
  }
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int nonClientHeight = (frame.bottom - frame.top) - client.bottom;
  const bool wasTracking = std::exchange(trackItemTreeHeight_, false);
  ::SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, ClientHeight(Panels()) + nonClientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  trackItemTreeHeight_ = wasTracking;
}

void TMessDlgForm::ArrangePanels() {
  const int width = ClientWidth();
  const PanelTops tops = dialog_layout::ArrangePanels(Panels());
  const auto place = [](HWND control, int left, int top) {
    ::SetWindowPos(control, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };

  // Message panel: icon column (or the narrow column beside task links), text, margin.
  const int textLeft = taskPanelVisible_ ? kLeftTaskMessPanelWidth : kIconPanelWidth;
  const int textWidth = width - textLeft - kTextRightMargin;
  place(icon_, kIconLeft, tops.message + kIconTop);
  ::SetWindowPos(title_, nullptr, textLeft, tops.message + kTitleTop, std::max(0, textWidth - kTitleRightGap),
                 kTitleHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  place(message_, textLeft, tops.message + kMessageTextTopHeight);

  for (const TaskLink& task : tasks_) {
    const bool shown = taskPanelVisible_;
    for (const HWND control : {task.arrow, task.link->Handle(), task.description}) {
      ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    }
    if (!shown) continue;
    place(task.arrow, kTaskArrowLeft, tops.taskButtons + task.top + kTaskArrowTopOffset);
    place(task.link->Handle(), kTaskLinkLeft, tops.taskButtons + task.top);
    place(task.description, kTaskLinkLeft, tops.taskButtons + task.descriptionTop);
  }

  // Button bar: the details switch on the left, the push buttons right-aligned.
  place(detailsButton_, kDetailsButtonLeft, tops.buttons + kDetailsButtonTop);
  place(detailsLabel_, kDetailsLabelLeft, tops.buttons + kDetailsLabelTop);
  const int buttonsLeft = width - buttonRow_.panelWidth;
  for (std::size_t i = 0; i < buttonList_.size() && i < buttonRow_.lefts.size(); ++i) {
    ::SetWindowPos(buttonList_[i]->handle, nullptr, buttonsLeft + buttonRow_.lefts[i], tops.buttons + kButtonTop,
                   buttonRow_.widths[i], kButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  ::ShowWindow(detailMessage_, detailPanelVisible_ ? SW_SHOWNA : SW_HIDE);
  if (detailPanelVisible_) place(detailMessage_, kDetailLabelLeft, tops.detailMessage + kDetailLabelTop);
  PlaceItemsTree();
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TMessDlgForm::UpdateDetails() {
  const bool hasDetails = hasDetailMessage_ || itemsHaveDetails_;
  ::ShowWindow(detailsButton_, hasDetails ? SW_SHOWNA : SW_HIDE);
  ::ShowWindow(detailsLabel_, hasDetails ? SW_SHOWNA : SW_HIDE);
  const bool wasTracking = std::exchange(trackItemTreeHeight_, false);
  detailPanelVisible_ = hasDetails && detailMessageVisible_;
  trackItemTreeHeight_ = wasTracking;
  UpdateClientHeight();
  ArrangePanels();
  if (!hasDetails) return;
  ::InvalidateRect(detailsButton_, nullptr, TRUE);  // DETAILBUTUP while open, DETAILBUTDOWN while closed
  if (detailMessageVisible_) {
    // The selected item's detail, or the dialog's own for a group or without a tree.
    DetailMessageLblResizeRequest(SetLabelText(detailMessage_, ShownDetailText()));
  }
}

void TMessDlgForm::SetSizeableBorder(bool sizeable) {
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  const LONG_PTR wanted = sizeable ? (style | WS_THICKFRAME) : (style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
  if (wanted == style) return;
  ::SetWindowLongPtrW(Handle(), GWL_STYLE, wanted);
  // The outer width stays the fixed width; the frame change only moves the client edge.
  ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// --- Painting ---------------------------------------------------------------

void TMessDlgForm::PaintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const PanelStack panels = Panels();
  const PanelTops tops = dialog_layout::ArrangePanels(panels);
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
    RECT line{0, top, client.right, top + 1};
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
  const int x = (item.rcItem.right - item.rcItem.left - kDetailGlyphWidth) / 2;
  const int y = (item.rcItem.bottom - item.rcItem.top - kDetailGlyphHeight) / 2;
  DrawStripImage(item.hDC, strip, kDetailGlyphWidth, kDetailGlyphHeight, image, x, y);
}

bool TMessDlgForm::WantsHandCursor(HWND control) const {
  if (control == detailsButton_ || control == detailsLabel_) return true;
  return std::any_of(tasks_.begin(), tasks_.end(), [control](const TaskLink& task) {
    return control == task.arrow || control == task.link->Handle();
  });
}

}  // namespace tolvar
