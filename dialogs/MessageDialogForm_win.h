// TMessDlgForm: the one window in which the program shows a message. A modal,
// always-on-top dialog with an icon, a coloured title line, the word-wrapped
// message and a bar of push buttons. It grows in height to fit its texts; its
// owner fixes its width. Two settings per user (details pane open, item tree
// height) live in the registry.
//
// What this program uses, and what is there for the window's other owners:
// - This program's callers (every message goes through the front end and the
//   message log, ConfigureMessageDialog in MessageDialogContent_win.h) show the
//   icon, the title line, the message and the standard buttons, and load and
//   save the two settings; they pass no details, no custom buttons, no task
//   links, no countdown and no item range.
// - For the window's other owners (the showcase program, the tests) it also
//   has custom buttons, task links in place of the icon, a collapsible details
//   pane, a countdown that presses a button by itself, help buttons, and a
//   tree of related messages below the buttons, with which the user may
//   change the window's height.
//
// How it works: the setters store what the owner gives and lay the window out
// once (Relayout), which measures the texts at the window's DPI and computes
// every control's place in one pass (dialog_layout::LayOutDialog); a DPI change
// takes the fonts and pictures of the new DPI and lays out the same way. The
// owner calls the setters in the order ConfigureMessageDialog uses (the setup
// key first, the record before the width, the item range last), then Execute,
// then ResultCode.
//
// The class's work is spread over files by job: MessageDialogForm_win.cpp
// (creating, configuring), MessageDialogLayout_win.cpp (measuring, laying out,
// DPI), MessageDialogButtons_win.cpp (push buttons and task links),
// MessageDialogShow_win.cpp (showing, countdown, closing),
// MessageDialogInput_win.cpp (keyboard, mouse, window messages),
// MessageDialogPaint_win.cpp (colours and drawing) and
// MessageDialogItemTree_win.cpp (the tree).
//
// Every text the user sees is a control holding that text, so screen readers
// and test robots read it with WM_GETTEXT. Push buttons carry their modal result
// as control identifier (IDOK, IDCANCEL, ...).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/ColorManager_win.h"
#include "dialogs/Countdown.h"
#include "dialogs/ItemTreeBuilder.h"
#include "dialogs/ItemsTreeView_win.h"
#include "dialogs/LabelLinkCtrl_win.h"
#include "dialogs/MessageDialogLayout.h"
#include "messages/MessageLogTypes.h"
#include "platform/Handle_win.h"
#include "platform/Window_win.h"

namespace tolvar {

// Control identifiers of the dialog's own controls; push buttons use their modal
// result, or kNoResultButtonId + position when that is 0.
enum MessageDialogControlId : int {
  kIconControlId = 1001,
  kTitleControlId = 1002,
  kMessageControlId = 1003,
  kDetailsButtonControlId = 1004,
  kDetailsLabelControlId = 1005,
  kDetailMessageControlId = 1006,
  kItemsTreeControlId = 1007,
  kTaskArrowControlId = 1100,        // + task index
  kTaskLinkControlId = 1200,         // + task index
  kTaskDescriptionControlId = 1300,  // + task index
  kNoResultButtonId = 1400,          // + button position
};

inline constexpr wchar_t kMessageDialogClassName[] = L"TolvarMessageDialog";
// The timer of the countdown, whose every tick (WM_TIMER) updates the caption.
inline constexpr UINT_PTR kCountdownTimerId = 1;

class TMessDlgForm : public Window {
 public:
  TMessDlgForm();
  ~TMessDlgForm() override;

  // --- Configuring: what this program's callers set -------------------------------
  // Stores the registry key of the settings (below HKEY_CURRENT_USER) and loads them.
  void SetSetupKey(const std::string& key);
  // Sets the icon and, through SetTitle, the default title of the type.
  void SetMessageType(TMessageType type);
  // An empty title shows the default title of the message type.
  void SetTitle(const std::string& title);
  void SetMessageText(const std::string& text);
  // All push buttons one common width, or each its natural width.
  void SetButtsSameWidth(bool sameWidth);
  // Takes a copy of the record; builds buttons, task links, icon, caption and help context.
  void SetDialogRec(const TDialogRec& record);
  // The window's outer width, which the user cannot change: designed at 96 dpi,
  // scaled to the window's DPI.
  void SetDialogWidth(int width);

  // --- Configuring: for the other owners -------------------------------------------
  // The text of the details pane; empty: no details.
  void SetDetailMessage(const std::string& text);
  // The callback that supplies the items of the tree (TItemReader captures its owner).
  void SetItemReader(TItemReader reader) { itemReader_ = std::move(reader); }
  // Shows the item tree for first..last, built by FillItemTree, all nodes open,
  // the first one selected and named after the message type, and makes the
  // height sizeable. An empty range (first < 0 or last < first, as this
  // program's callers pass) shows none and keeps the fixed dialog border.
  void SetItemRange(std::int32_t first, std::int32_t last);

  // --- Running --------------------------------------------------------------------
  // Shows the dialog modally, centred on the screen; the modal result of the
  // button, link or countdown that closed it, 2 for the close box.
  std::uint16_t Execute();
  // The second result: the ResultCode of the pressed button or link.
  std::uint16_t ResultCode() const noexcept { return resultCode_; }

  // --- State worth reading from outside ---------------------------------------------
  TMessageType MessageType() const noexcept { return messageType_; }
  const std::string& TitleText() const noexcept { return titleText_; }
  bool DetailMessageVisible() const noexcept { return detailMessageVisible_; }
  std::int32_t ItemTreePanelHeight() const noexcept { return itemTreePanelHeight_; }
  bool ItemTreeVisible() const noexcept { return itemTreeVisible_; }
  bool ItemsHaveDetails() const noexcept { return itemsHaveDetails_; }
  HWND ItemsTreeView() const noexcept { return itemsTree_ ? itemsTree_->Handle() : nullptr; }
  // The panels as last laid out, in pixels at the window's DPI.
  const dialog_layout::PanelStack& Panels() const noexcept { return layout_.panels; }
  // The push buttons of the button list, in creation order.
  std::vector<HWND> PushButtons() const;
  HWND DefaultButton() const noexcept;
  HWND CountdownButton() const noexcept;
  COLORREF SeparatorColor() const noexcept { return separatorColor_; }

  bool PreTranslateMessage(MSG& message) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Fonts and pictures of the new DPI, then the layout.
  void OnDpiChanged(const RECT* suggested) override;

 private:
  struct PushButton {
    HWND handle = nullptr;
    TMessageDlgButton description;
  };
  struct TaskLink {
    HWND arrow = nullptr;
    std::unique_ptr<TLabelLink> link;
    HWND description = nullptr;
    std::string descriptionText;
    int wrapWidth = 0;  // at 96 dpi: the texts wrap at the width the link was made at
    std::uint16_t modalResult = 0;
    std::uint16_t resultCode = 0;
  };

  // Creating (MessageDialogForm_win.cpp).
  void CreateControls();
  void UpdateIcon();
  int Scale(int designed) const noexcept { return Dpi().Scale(designed); }

  // Laying out (MessageDialogLayout_win.cpp).
  // Fonts, pictures and the icon at the window's DPI.
  void ApplyScale();
  // Measures the texts, computes the whole layout from the state and applies it:
  // the window's size and border, every control's place and visibility.
  void Relayout();
  dialog_layout::DialogMeasures Measure(const SIZE& nonClient) const;
  int MeasureWrapped(const std::string& text, int width) const;
  void ApplyLayout(const dialog_layout::DialogLayout& layout);
  void SetSizeableBorder(bool sizeable);
  SIZE NonClientSize() const;
  // The client width with the fixed dialog border (see DialogMeasures::linkSpanWidth).
  int LinkSpanWidth(const SIZE& nonClient) const;
  // The details switch is shown: the dialog or one of its items has details.
  bool HasDetails() const noexcept { return hasDetailMessage_ || itemsHaveDetails_; }
  bool DetailPaneOpen() const noexcept { return HasDetails() && detailMessageVisible_; }
  // Puts the text into the pane's label when it changed.
  void ShowDetailText(const std::string& text);
  std::string ShownDetailText() const;

  // Push buttons and task links (MessageDialogButtons_win.cpp).
  void BuildButtons();
  void AddButton(const TMessageDlgButton& description, int kind);
  int CaptionWidth(const PushButton& button) const;
  void AddTaskLink(const TMessageDlgButton& description);
  void DestroyTaskLinks();
  PushButton* FindButton(HWND handle) const;
  const TaskLink* FindTaskArrow(HWND handle) const;
  void ButtonClick(const PushButton& button);
  void SetModalResult(std::uint16_t result);
  void TaskClick(std::uint16_t modalResult, std::uint16_t resultCode);
  void ShowAsDefault(const PushButton* button);

  // Showing and closing (MessageDialogShow_win.cpp).
  void FormShow();
  void FormClose();
  void CountdownTimerTimer();
  void StopCountdownTimer();
  void ColorManagerThemeChange();

  // Input (MessageDialogInput_win.cpp).
  void DetailsButClick();
  void FormKeyPress(wchar_t key);
  void EnterPressed();
  void FormMouseDown();
  bool IsMouseDownTarget(const MSG& message) const;
  bool IsMouseDownSurfaceAt(POINT point) const;
  PushButton* FocusedButton() const;
  PushButton* FirstCancelButton() const;
  PushButton* ButtonWithAccessKey(wchar_t key) const;
  void MoveFocus(int step);

  // Painting (MessageDialogPaint_win.cpp).
  void PaintBackground(HDC dc);
  bool OnWindowSurface(HWND control) const;
  LRESULT ControlColor(HDC dc, HWND control);
  void DrawDetailsButton(const DRAWITEMSTRUCT& item);
  bool WantsHandCursor(HWND control) const;

  // Item tree (MessageDialogItemTree_win.cpp).
  void FillItemsTree(std::int32_t first, std::int32_t last);
  void ItemDetailsPreSizing(const std::string& detail);
  void NameFirstNodeAfterType();
  void ItemsTreeViewChange();
  std::int32_t SelectedItemIndex() const;
  void ItemTreePanelResize(int clientHeight);
  void AnswerMinMaxInfo(MINMAXINFO& limits) const;

  // Controls and resources.
  UniqueFont titleFont_;
  UniqueBitmap detailButUp_;
  UniqueBitmap detailButDown_;
  UniqueBitmap taskArrow_;
  UniqueIcon scaledIcon_;  // when the stock icon is not of the standard size
  HWND icon_ = nullptr;
  HWND title_ = nullptr;
  HWND message_ = nullptr;
  HWND detailsButton_ = nullptr;
  HWND detailsLabel_ = nullptr;
  HWND detailMessage_ = nullptr;
  std::unique_ptr<TItemsTreeView> itemsTree_;  // freed after the window (destructor): holds the images
  std::vector<std::unique_ptr<PushButton>> createdButtons_;  // every button on the bar
  std::vector<PushButton*> buttonList_;                       // the current record's, which are laid out
  std::vector<TaskLink> tasks_;
  TColorManager colorManager_;

  // What the owner set.
  std::string setupKey_;
  TMessageType messageType_ = mltInformation;
  std::string titleText_;
  std::string messageText_;
  std::string detailMessageText_;
  bool hasDetailMessage_ = false;
  bool buttsSameWidth_ = true;
  TDialogRec record_;
  std::int32_t helpContext_ = 0;
  int designedWidth_ = 0;  // the owner's width at 96 dpi; 0 until SetDialogWidth
  int fixedWidth_ = 0;     // the outer width at the window's DPI, which the user cannot change
  TItemReader itemReader_;
  bool itemTreeVisible_ = false;

  // What the user changes, and what follows from the rest.
  bool detailMessageVisible_ = false;  // the pane is open (persisted)
  std::int32_t itemTreePanelHeight_ = dialog_layout::kDefaultItemTreeHeight;  // persisted at 96 dpi
  bool itemsHaveDetails_ = false;
  int detailPanelHeight_ = dialog_layout::kDetailPanelMinHeight;  // grows to fit, never shrinks
  std::string shownDetail_;  // what the detail label holds
  PushButton* defaultButton_ = nullptr;
  PushButton* countdownButton_ = nullptr;
  std::string countdownCaption_;
  std::optional<Countdown> countdown_;
  bool countdownTimerOn_ = false;
  std::uint16_t resultCode_ = 0;
  std::uint16_t modalResult_ = 0;
  COLORREF separatorColor_ = 0;
  bool trackItemTreeHeight_ = false;  // a resize is the user's sizing of the tree
  // The window's own size changes are not the user's sizing of the tree:
  // tracking is off while one lasts and as it was afterwards.
  class OwnResize {
   public:
    explicit OwnResize(bool& tracking) : tracking_(tracking), was_(tracking) { tracking = false; }
    OwnResize(const OwnResize&) = delete;
    OwnResize& operator=(const OwnResize&) = delete;
    ~OwnResize() { tracking_ = was_; }

   private:
    bool& tracking_;
    bool was_;
  };

  // The layout, in pixels at the DPI it was made for.
  DpiScale laidOutAt_;
  DpiLength detailPanelTaken_;  // the heights above as measured or dragged, for DPI changes
  DpiLength itemTreeHeightTaken_;
  dialog_layout::DialogLayout layout_;
};

}  // namespace tolvar
