// Creating the message dialog and configuring it: each setter stores what the
// owner gives and lays the window out once.
#include "dialogs/MessageDialogForm_win.h"

#include <algorithm>

#include "dialogs/MessageDialogSettings_win.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {

using namespace dialog_layout;

namespace {

// Stock icons of the message types, by TMessageType.
constexpr WORD kTypeIcons[] = {32513 /* hand */, 32515 /* exclamation */, 32516 /* asterisk */,
                               32514 /* question */};

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
  detailPanelHeight_ = Scale(kDetailPanelMinHeight);
  itemTreePanelHeight_ = Scale(kDefaultItemTreeHeight);
  separatorColor_ = static_cast<COLORREF>(colorManager_.Colors().SeparatorColor());
  colorManager_.SetOnThemeChange([this](TColorManager&) { ColorManagerThemeChange(); });
  CreateControls();
  ApplyScale();
  Relayout();
}

TMessDlgForm::~TMessDlgForm() {
  // Destroy the window while every member it may still use is alive.
  StopCountdownTimer();
  Destroy();
}

void TMessDlgForm::CreateControls() {
  // Every static reports clicks (SS_NOTIFY), so that a press on it reaches the
  // countdown's cancel rule through its own handle. Fonts follow in ApplyScale,
  // places in Relayout.
  const HWND form = Handle();
  icon_ = CreateControl(form, {.className = L"STATIC", .style = SS_ICON | SS_NOTIFY, .id = kIconControlId});
  title_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                .id = kTitleControlId});
  message_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                  .id = kMessageControlId});
  detailsButton_ = CreateControl(form, {.className = L"STATIC", .style = SS_OWNERDRAW | SS_NOTIFY,
                                        .id = kDetailsButtonControlId, .visible = false});
  detailsLabel_ = CreateControl(form, {.className = L"STATIC", .text = LoadText(TextId::MoreInformation),
                                       .style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
                                       .id = kDetailsLabelControlId, .visible = false});
  detailMessage_ = CreateControl(form, {.className = L"STATIC", .style = SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                        .id = kDetailMessageControlId, .visible = false});
  itemsTree_ = std::make_unique<TItemsTreeView>(form, kItemsTreeControlId);
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

// --- Configuration ----------------------------------------------------------

void TMessDlgForm::SetSetupKey(const std::string& key) {
  setupKey_ = key;
  const MessageDialogSettings settings = LoadMessageDialogSettings(key);
  detailMessageVisible_ = settings.detailMessageVisible;
  // Stored at 96 dpi, so that the tree keeps its size on another display.
  itemTreePanelHeight_ = Scale(settings.itemTreePanelHeight);
  Relayout();
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
  Relayout();
}

void TMessDlgForm::SetMessageText(const std::string& text) {
  messageText_ = text;
  SetText(message_, text);
  Relayout();
}

void TMessDlgForm::SetDetailMessage(const std::string& text) {
  detailMessageText_ = text;
  hasDetailMessage_ = !text.empty();
  Relayout();
}

void TMessDlgForm::SetButtsSameWidth(bool sameWidth) {
  buttsSameWidth_ = sameWidth;
  Relayout();
}

void TMessDlgForm::SetDialogRec(const TDialogRec& record) {
  record_ = record;
  UpdateIcon();
  BuildButtons();
  helpContext_ = record_.HelpContext;
  SetText(Handle(), record_.Caption.empty() ? Application::Instance().Title() : record_.Caption);
  Relayout();
}

void TMessDlgForm::SetDialogWidth(int width) {
  designedWidth_ = width;
  fixedWidth_ = Scale(width);
  Relayout();
}

void TMessDlgForm::SetItemRange(std::int32_t first, std::int32_t last) {
  itemTreeVisible_ = first >= 0 && last >= first;
  if (itemTreeVisible_) FillItemsTree(first, last);
  Relayout();
}

}  // namespace tolvar
