// TMessDlgForm: the one window in which the program shows a message. A modal,
// always-on-top dialog with an icon, a coloured title line, the word-wrapped
// message and a bar of push buttons; when the message needs them also task
// links, a collapsible details pane, a tree of related messages and a
// countdown that presses a button by itself. It grows in height to fit its
// texts; its owner fixes its width, and while the tree is shown the user may
// change its height. Two settings per user (details pane open, item tree
// height) live in the registry.
//
// The owner configures it in this order: SetSetupKey, SetMessageType, SetTitle,
// SetMessageText, SetDetailMessage, SetButtsSameWidth, SetDialogRec,
// SetDialogWidth, SetItemReader (only an owner with items), SetItemRange; then
// Execute, then ResultCode.
//
// Every text the user sees is a control holding that text, so screen readers
// and test robots read it with WM_GETTEXT. Push buttons carry their modal result
// as control identifier (IDOK, IDCANCEL, ...).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
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

  // Stores the registry key of the settings (below HKEY_CURRENT_USER) and loads them.
  void SetSetupKey(const std::string& key);
  // Sets the icon and, through SetTitle, the default title of the type.
  void SetMessageType(TMessageType type);
  // An empty title shows the default title of the message type.
  void SetTitle(const std::string& title);
  void SetMessageText(const std::string& text);
  void SetDetailMessage(const std::string& text);
  // All push buttons one common width, or each its natural width.
  void SetButtsSameWidth(bool sameWidth);
  // Takes a copy of the record; builds buttons, task links, icon, caption and help context.
  void SetDialogRec(const TDialogRec& record);
  // The window's outer width, which the user cannot change: designed at 96 dpi,
  // scaled to the window's DPI.
  void SetDialogWidth(int width);
  // The callback that supplies the items of the tree (TItemReader captures its owner).
  void SetItemReader(TItemReader reader) { itemReader_ = std::move(reader); }
  // Shows the item tree for first..last, built by FillItemTree, all nodes open,
  // the first one selected and named after the message type, and makes the
  // height sizeable. An empty range (first < 0 or last < first) shows none and
  // keeps the fixed dialog border. Lays out the window.
  void SetItemRange(std::int32_t first, std::int32_t last);

  // Shows the dialog modally, centred on the screen; the modal result of the
  // button, link or countdown that closed it, 2 for the close box.
  std::uint16_t Execute();
  // The second result: the ResultCode of the pressed button or link.
  std::uint16_t ResultCode() const noexcept { return resultCode_; }

  // State worth reading from outside.
  TMessageType MessageType() const noexcept { return messageType_; }
  const std::string& TitleText() const noexcept { return titleText_; }
  bool DetailMessageVisible() const noexcept { return detailMessageVisible_; }
  std::int32_t ItemTreePanelHeight() const noexcept { return itemTreePanelHeight_; }
  bool ItemTreeVisible() const noexcept { return itemTreeVisible_; }
  bool ItemsHaveDetails() const noexcept { return itemsHaveDetails_; }
  HWND ItemsTreeView() const noexcept { return itemsTree_ ? itemsTree_->Handle() : nullptr; }
  // Pixels at the window's DPI, as are the panels' heights.
  dialog_layout::PanelStack Panels() const;
  // The push buttons of the button list, in creation order.
  std::vector<HWND> PushButtons() const;
  HWND DefaultButton() const noexcept;
  HWND CountdownButton() const noexcept;
  COLORREF SeparatorColor() const noexcept { return separatorColor_; }

  bool PreTranslateMessage(MSG& message) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Lays the whole window out again at its new DPI.
  void OnDpiChanged(const RECT* suggested) override;

 private:
  struct PushButton {
    HWND handle = nullptr;
    TMessageDlgButton description;
    int naturalWidth = 0;
  };
  struct TaskLink {
    HWND arrow = nullptr;
    std::unique_ptr<TLabelLink> link;
    HWND description = nullptr;
    int top = 0;             // of the link, relative to the task panel
    int descriptionTop = 0;  // relative to the task panel
    int wrapWidth = 0;       // at 96 dpi: the width the texts were first wrapped at
    DpiLength rightGap;      // between the link's right edge and the client's
    std::uint16_t modalResult = 0;
    std::uint16_t resultCode = 0;
  };

  // Building.
  void CreateControls();
  // Fonts, pictures and the sizes of the fixed controls at the window's DPI.
  void ApplyScale();
  void UpdateIcon();
  void BuildButtons();
  void AddButton(const TMessageDlgButton& description, int kind);
  void MeasureButton(PushButton& button);
  void AddTaskLink(const TMessageDlgButton& description, int& y);
  // Wraps a task link's texts and sizes them; the link goes at `y` of the task
  // panel, and `y` moves below its description.
  void LayOutTaskLink(TaskLink& task, int& y);
  void ArrangeButtons();
  int Scale(int designed) const noexcept { return Dpi().Scale(designed); }

  // Layout.
  int ClientWidth() const;
  int MeasureLabel(HWND label, int width) const;
  int SetLabelText(HWND label, const std::string& text);
  void MessageLblResizeRequest(int labelHeight);
  void DetailMessageLblResizeRequest(int labelHeight);
  void UpdateClientHeight();
  void ArrangePanels();
  void UpdateDetails();
  void SetSizeableBorder(bool sizeable);

  // Item tree (MessageDialogItemTree_win.cpp).
  void FillItemsTree(std::int32_t first, std::int32_t last);
  void ItemDetailsPreSizing(const std::string& detail);
  void NameFirstNodeAfterType();
  void ItemsTreeViewChange();
  std::int32_t SelectedItemIndex() const;
  std::string ShownDetailText() const;
  void PlaceItemsTree();
  void ItemTreePanelResize(int clientHeight);
  void AnswerMinMaxInfo(MINMAXINFO& limits) const;

  // Painting.
  void PaintBackground(HDC dc);
  bool OnWindowSurface(HWND control) const;
  LRESULT ControlColor(HDC dc, HWND control);
  void DrawDetailsButton(const DRAWITEMSTRUCT& item);
  bool WantsHandCursor(HWND control) const;

  // Input and results.
  PushButton* FindButton(HWND handle) const;
  const TaskLink* FindTaskArrow(HWND handle) const;
  void ButtonClick(const PushButton& button);
  void SetModalResult(std::uint16_t result);
  void TaskClick(std::uint16_t modalResult, std::uint16_t resultCode);
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
  void ShowAsDefault(const PushButton* button);

  // Showing and closing.
  void FormShow();
  void FormClose();
  void CountdownTimerTimer();
  void StopCountdownTimer();
  void ColorManagerThemeChange();

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
  std::vector<PushButton*> buttonList_;                       // the ones BuildButtons arranges
  std::vector<TaskLink> tasks_;
  TColorManager colorManager_;

  // State.
  std::string detailMessageText_;
  std::string messageText_;
  TDialogRec record_;
  TMessageType messageType_ = mltInformation;
  std::string setupKey_;
  bool buttsSameWidth_ = true;
  PushButton* countdownButton_ = nullptr;
  std::string countdownCaption_;
  std::optional<Countdown> countdown_;
  bool countdownTimerOn_ = false;
  int commonButtonWidth_ = 0;
  TItemReader itemReader_;
  bool hasDetailMessage_ = false;
  bool detailMessageVisible_ = false;
  bool itemsHaveDetails_ = false;
  bool itemTreeVisible_ = false;
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
  std::int32_t itemTreePanelHeight_ = dialog_layout::kDefaultItemTreeHeight;
  int fixedWidth_ = 0;
  int designedWidth_ = 0;  // the owner's width at 96 dpi; 0 until SetDialogWidth
  PushButton* defaultButton_ = nullptr;
  std::uint16_t resultCode_ = 0;
  std::uint16_t modalResult_ = 0;
  std::string titleText_;
  std::int32_t helpContext_ = 0;

  // Layout state, in pixels at the DPI the window was last laid out at.
  DpiScale laidOutAt_;
  DpiLength detailPanelTaken_;  // the heights below as measured or dragged, for DPI changes
  DpiLength itemTreeHeightTaken_;
  int messagePanelHeight_ = dialog_layout::kDesignedMessagePanelHeight;
  int messageLabelHeight_ = 0;
  bool taskPanelVisible_ = false;
  int taskPanelHeight_ = dialog_layout::kDesignedTaskPanelHeight;
  bool detailPanelVisible_ = false;
  int detailPanelHeight_ = dialog_layout::kDetailPanelMinHeight;
  int detailLabelHeight_ = 0;
  dialog_layout::ButtonRow buttonRow_;
  COLORREF separatorColor_ = 0;
};

}  // namespace tolvar
