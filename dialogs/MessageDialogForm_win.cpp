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
#include "platform/Dpi_win.h"
#include "platform/Utf.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

constexpr COLORREF kTitleColor = RGB(19, 112, 171);
constexpr COLORREF kTaskLinkColor = RGB(7, 74, 229);
constexpr int kTaskLinkFontHeight = -16;  // 12 point at 96 dpi; the link label scales it
constexpr int kTitleFontPoints = 12;
constexpr int kFormFontPoints = 8;

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

// The system's icon resource that a record's IconName names: "#32514" or
// "32514" by number, anything else by name (kept in `text`).
const wchar_t* StockIconResource(const std::string& name, std::wstring& text) {
  std::string_view digits = name;
  if (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  if (!digits.empty() && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [](char c) {
        return c >= '0' && c <= '9';
      })) {
    const unsigned long number = std::stoul(std::string(digits));
    if (number <= 0xFFFF) return MAKEINTRESOURCEW(number);
  }
  text = Utf8ToUtf16(name);
  return text.c_str();
}

// A stock icon of `size` pixels. Of the standard size it is the system's shared
// icon; of another size (a window on a display of another DPI than the
// system's) it is scaled down from the icon's larger image and owned by `owned`.
HICON LoadStockIcon(const wchar_t* resource, int size, UniqueIcon& owned) {
  owned.reset();
  if (size != ::GetSystemMetrics(SM_CXICON)) {
    HICON scaled = nullptr;
    if (SUCCEEDED(::LoadIconWithScaleDown(nullptr, resource, size, size, &scaled)) && scaled) {
      owned.reset(scaled);
      return scaled;
    }
  }
  return ::LoadIconW(nullptr, resource);
}

COLORREF Lighten(COLORREF color) {
  return static_cast<COLORREF>(MixWithWhite20(static_cast<TColor>(color)));
}

}  // namespace

TMessDlgForm::TMessDlgForm() {
  CreateWindowObject({.name = kMessageDialogClassName},
                     {.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                      .exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT,
                      .clientWidth = kDesignedClientWidth, .clientHeight = kDesignedClientHeight});

  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  fixedWidth_ = frame.right - frame.left;
  laidOutAt_ = Dpi();
  messagePanelHeight_ = Scale(kDesignedMessagePanelHeight);
  taskPanelHeight_ = Scale(kDesignedTaskPanelHeight);
  detailPanelHeight_ = Scale(kDetailPanelMinHeight);
  itemTreePanelHeight_ = Scale(kDefaultItemTreeHeight);
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
  // Every static reports clicks (SS_NOTIFY), so that a press on it reaches the
  // countdown's cancel rule through its own handle. Sizes and fonts follow in ApplyScale.
  const HWND form = Handle();
  icon_ = CreateControl(form, {.className = L"STATIC", .style = SS_ICON | SS_NOTIFY, .id = kIconControlId});
  title_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                .id = kTitleControlId});
  message_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                  .id = kMessageControlId});
  detailsButton_ = CreateControl(form, {.className = L"STATIC", .style = SS_OWNERDRAW | SS_NOTIFY,
                                        .id = kDetailsButtonControlId});
  detailsLabel_ = CreateControl(form, {.className = L"STATIC", .text = LoadText(TextId::MoreInformation),
                                       .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                       .id = kDetailsLabelControlId});
  detailMessage_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                        .id = kDetailMessageControlId, .visible = false});
  itemsTree_ = std::make_unique<TItemsTreeView>(form, kItemsTreeControlId);
  ApplyScale();
}

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

  const auto resize = [](HWND control, int width, int height) {
    ::SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  resize(icon_, scale.Scale(kIconSize), scale.Scale(kIconSize));
  resize(message_, scale.Scale(kMessageLabelWidth), 0);
  resize(detailsButton_, scale.Scale(kDetailsButtonWidth), scale.Scale(kDetailsButtonHeight));
  resize(detailMessage_, scale.Scale(kDetailLabelWidth), 0);
  // The label sizes itself to its caption, with room for the last letter's
  // smoothed edge, which may reach past its advance width.
  const SIZE caption = MeasureText(detailsLabel_, formFont, GetText(detailsLabel_), 0, DT_SINGLELINE | DT_NOPREFIX);
  resize(detailsLabel_, caption.cx + scale.Scale(2), caption.cy);
  UpdateIcon();
}

// --- Configuration ----------------------------------------------------------

void TMessDlgForm::SetSetupKey(const std::string& key) {
  setupKey_ = key;
  const MessageDialogSettings settings = LoadMessageDialogSettings(key);
  detailMessageVisible_ = settings.detailMessageVisible;
  // Stored at 96 dpi, so that the tree keeps its size on another display.
  itemTreePanelHeight_ = Scale(settings.itemTreePanelHeight);
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
  designedWidth_ = width;
  fixedWidth_ = Scale(width);
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  ::SetWindowPos(Handle(), nullptr, 0, 0, fixedWidth_, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  itemTreeVisible_ = first >= 0 && last >= first;
  // The border first, so that the client height set below is the one that stays.
  SetSizeableBorder(itemTreeVisible_);
  if (itemTreeVisible_) FillItemsTree(first, last);
  UpdateClientHeight();
  ArrangePanels();
}

void TMessDlgForm::UpdateIcon() {
  std::wstring name;
  const wchar_t* resource = record_.IconName.empty() ? MAKEINTRESOURCEW(kTypeIcons[std::min<int>(messageType_, 3)])
                                                     : StockIconResource(record_.IconName, name);
  UniqueIcon owned;
  const HICON icon = LoadStockIcon(resource, Scale(kIconSize), owned);
  ::SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  scaledIcon_ = std::move(owned);  // the one shown before goes now
}

// --- Buttons and task links -------------------------------------------------

void TMessDlgForm::BuildButtons() {
  defaultButton_ = nullptr;
  buttonList_.clear();  // buttons of an earlier record stay on the bar
  commonButtonWidth_ = Scale(kMinButtonWidth);
  for (int kind = 0; kind < kStandardButtonKindCount; ++kind) {
    if (record_.Buttons & (1u << kind)) AddButton(StandardButton(kind), kind);
  }
  for (const TMessageDlgButton& custom : record_.CustomButtons) AddButton(custom, kCustomButtonKind);

  taskPanelVisible_ = !record_.TaskButtons.empty();
  ::ShowWindow(icon_, taskPanelVisible_ ? SW_HIDE : SW_SHOW);
  if (taskPanelVisible_) {
    int y = 0;
    for (const TMessageDlgButton& task : record_.TaskButtons) AddTaskLink(task, y);
    taskPanelHeight_ = y + Scale(kTaskPanelBottomGap);
  }
  ShowAsDefault(defaultButton_);
  ArrangeButtons();
}

void TMessDlgForm::AddButton(const TMessageDlgButton& description, int kind) {
  const int position = static_cast<int>(buttonList_.size());
  auto button = std::make_unique<PushButton>();
  button->description = description;
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

  MeasureButton(*button);
  buttonList_.push_back(button.get());
  createdButtons_.push_back(std::move(button));
}

void TMessDlgForm::MeasureButton(PushButton& button) {
  // The caption is measured as written, access-key mark included.
  const std::wstring caption = Utf8ToUtf16(button.description.Caption);
  SIZE size{};
  {
    const WindowDC dc(Handle());
    const SelectObjectScope font(dc.get(), KeptFont());
    ::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size);
  }
  const int width = ButtonWidthForText(size.cx, Dpi());
  commonButtonWidth_ = std::max(commonButtonWidth_, width);
  button.naturalWidth = std::max(width, Scale(kMinButtonWidth));
}

void TMessDlgForm::AddTaskLink(const TMessageDlgButton& description, int& y) {
  const int index = static_cast<int>(tasks_.size());
  TaskLink task;
  task.modalResult = description.ModalResult;
  task.resultCode = description.ResultCode;
  task.wrapWidth = Dpi().Unscale(ClientWidth() - Scale(kTaskLinkRightGap));

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
  LayOutTaskLink(task, y);
  tasks_.push_back(std::move(task));
}

void TMessDlgForm::LayOutTaskLink(TaskLink& task, int& y) {
  // The texts wrap at the width the link had when it was added; the panel's
  // width then only widens the controls (SetDialogWidth).
  const int wrapWidth = Scale(task.wrapWidth);
  const int width = std::max(wrapWidth, ClientWidth() - Scale(kTaskLinkRightGap));
  task.top = y;
  task.link->SetMaxWidth(wrapWidth);
  ::SetWindowPos(task.link->Handle(), nullptr, 0, 0, width, Scale(kTaskLinkHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  task.descriptionTop = y + Scale(kTaskLinkHeight) + Scale(kTaskDescriptionGap);
  ::SetWindowPos(task.description, nullptr, 0, 0, wrapWidth, Scale(kTaskDescriptionHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int descriptionHeight = SetLabelText(task.description, GetText(task.description));
  ::SetWindowPos(task.description, nullptr, 0, 0, width, descriptionHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  y += Scale(kTaskLinkHeight) + descriptionHeight + Scale(kTaskDescriptionGap);
}

void TMessDlgForm::ArrangeButtons() {
  std::vector<int> widths;
  for (const PushButton* button : buttonList_) widths.push_back(button->naturalWidth);
  buttonRow_ = dialog_layout::ArrangeButtons(widths, buttsSameWidth_, commonButtonWidth_, Dpi());
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
  panels.buttons = Scale(kButtsPanelHeight);
  panels.taskButtons = taskPanelVisible_ ? taskPanelHeight_ : -1;
  panels.detailMessage = detailPanelVisible_ ? detailPanelHeight_ : -1;
  panels.itemTree = itemTreeVisible_ ? itemTreePanelHeight_ : -1;
  return panels;
}

int TMessDlgForm::MeasureLabel(HWND label, int width) const {
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0));
  return MeasureText(label, font, GetText(label), width, kLabelDrawFlags).cy;
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
  messagePanelHeight_ = MessagePanelHeight(labelHeight, Dpi());
  UpdateClientHeight();
  ArrangePanels();
}

void TMessDlgForm::DetailMessageLblResizeRequest(int labelHeight) {
  detailLabelHeight_ = labelHeight;
  // The pane grows to fit and never shrinks while the window lives.
  const int needed = DetailPanelHeightNeeded(labelHeight, Dpi());
  if (detailPanelHeight_ < needed) {
    detailPanelHeight_ = needed;
    UpdateClientHeight();
  }
  ArrangePanels();
}

void TMessDlgForm::UpdateClientHeight() {
  if (itemTreeVisible_ && itemTreePanelHeight_ < Scale(kMinItemTreeHeight)) {
    itemTreePanelHeight_ = Scale(kMinItemTreeHeight);
  }
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  const int nonClientHeight = (frame.bottom - frame.top) - client.bottom;
  const OwnResize ownResize(trackItemTreeHeight_);
  ::SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, ClientHeight(Panels(), Dpi()) + nonClientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMessDlgForm::ArrangePanels() {
  const int width = ClientWidth();
  const PanelTops tops = dialog_layout::ArrangePanels(Panels());
  const auto place = [](HWND control, int left, int top) {
    ::SetWindowPos(control, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };

  // Message panel: icon column (or the narrow column beside task links), text, margin.
  const int textLeft = Scale(taskPanelVisible_ ? kLeftTaskMessPanelWidth : kIconPanelWidth);
  const int textWidth = width - textLeft - Scale(kTextRightMargin);
  place(icon_, Scale(kIconLeft), tops.message + Scale(kIconTop));
  ::SetWindowPos(title_, nullptr, textLeft, tops.message + Scale(kTitleTop),
                 std::max(0, textWidth - Scale(kTitleRightGap)), Scale(kTitleHeight), SWP_NOZORDER | SWP_NOACTIVATE);
  place(message_, textLeft, tops.message + Scale(kMessageTextTopHeight));

  for (const TaskLink& task : tasks_) {
    const bool shown = taskPanelVisible_;
    for (const HWND control : {task.arrow, task.link->Handle(), task.description}) {
      ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    }
    if (!shown) continue;
    place(task.arrow, Scale(kTaskArrowLeft), tops.taskButtons + task.top + Scale(kTaskArrowTopOffset));
    place(task.link->Handle(), Scale(kTaskLinkLeft), tops.taskButtons + task.top);
    place(task.description, Scale(kTaskLinkLeft), tops.taskButtons + task.descriptionTop);
  }

  // Button bar: the details switch on the left, the push buttons right-aligned.
  place(detailsButton_, Scale(kDetailsButtonLeft), tops.buttons + Scale(kDetailsButtonTop));
  place(detailsLabel_, Scale(kDetailsLabelLeft), tops.buttons + Scale(kDetailsLabelTop));
  const int buttonsLeft = width - buttonRow_.panelWidth;
  for (std::size_t i = 0; i < buttonList_.size() && i < buttonRow_.lefts.size(); ++i) {
    ::SetWindowPos(buttonList_[i]->handle, nullptr, buttonsLeft + buttonRow_.lefts[i],
                   tops.buttons + Scale(kButtonTop), buttonRow_.widths[i], Scale(kButtonHeight),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }

  ::ShowWindow(detailMessage_, detailPanelVisible_ ? SW_SHOWNA : SW_HIDE);
  if (detailPanelVisible_) {
    place(detailMessage_, Scale(kDetailLabelLeft), tops.detailMessage + Scale(kDetailLabelTop));
  }
  PlaceItemsTree();
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TMessDlgForm::OnDpiChanged(const RECT* suggested) {
  const DpiScale from = std::exchange(laidOutAt_, Dpi());
  const OwnResize ownResize(trackItemTreeHeight_);
  // What was measured or chosen at the old scale, carried over to the new one.
  detailPanelHeight_ = detailPanelTaken_.Carry(detailPanelHeight_, from, Dpi());
  itemTreePanelHeight_ = itemTreeHeightTaken_.Carry(itemTreePanelHeight_, from, Dpi());
  const int oldClientWidth = ClientWidth();
  std::vector<int> rightGaps;
  for (TaskLink& task : tasks_) {
    RECT link{};
    ::GetWindowRect(task.link->Handle(), &link);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&link), 2);
    rightGaps.push_back(task.rightGap.Carry(oldClientWidth - link.right, from, Dpi()));
  }
  if (designedWidth_ > 0) {
    fixedWidth_ = Scale(designedWidth_);
  } else {
    const RECT frame = FrameForClient({0, 0, Scale(kDesignedClientWidth), Scale(kDesignedClientHeight)},
                                      static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)),
                                      static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)), Dpi().dpi);
    fixedWidth_ = frame.right - frame.left;
  }
  RECT frame{};
  ::GetWindowRect(Handle(), &frame);
  const RECT& target = suggested ? *suggested : frame;
  ::SetWindowPos(Handle(), nullptr, target.left, target.top, fixedWidth_, target.bottom - target.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);

  ApplyScale();
  commonButtonWidth_ = Scale(kMinButtonWidth);
  for (PushButton* button : buttonList_) MeasureButton(*button);
  if (!tasks_.empty()) {
    int y = 0;
    for (std::size_t i = 0; i < tasks_.size(); ++i) {
      LayOutTaskLink(tasks_[i], y);
      // The links keep their right margin, as they do when the dialog's width changes.
      const int width = std::max(0, ClientWidth() - rightGaps[i] - Scale(kTaskLinkLeft));
      for (const HWND control : {tasks_[i].link->Handle(), tasks_[i].description}) {
        RECT bounds{};
        ::GetWindowRect(control, &bounds);
        ::SetWindowPos(control, nullptr, 0, 0, width, bounds.bottom - bounds.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
    taskPanelHeight_ = y + Scale(kTaskPanelBottomGap);
  }
  MessageLblResizeRequest(SetLabelText(message_, messageText_));
  UpdateDetails();
  ArrangeButtons();
  UpdateClientHeight();
  ArrangePanels();
}

void TMessDlgForm::UpdateDetails() {
  const bool hasDetails = hasDetailMessage_ || itemsHaveDetails_;
  ::ShowWindow(detailsButton_, hasDetails ? SW_SHOWNA : SW_HIDE);
  ::ShowWindow(detailsLabel_, hasDetails ? SW_SHOWNA : SW_HIDE);
  detailPanelVisible_ = hasDetails && detailMessageVisible_;
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
