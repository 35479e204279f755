// The message dialog's geometry as numbers: the designed coordinates of its
// panels and controls, and the rules that size and stack the panels and place
// every control. Pure functions, so the figures can be checked without a
// window: the dialog measures its texts (DialogMeasures), LayOutDialog computes
// the whole layout from them in one pass, and the dialog applies it.
//
// The constants are pixels at 96 dpi. The functions take the dialog's scale and
// work in its pixels: measured heights and widths come in as the screen shows
// them, the designed margins are scaled to match.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/DpiScale.h"

namespace tolvar::dialog_layout {

// The window as designed (its client area), before the owner sets the width.
constexpr int kDesignedClientWidth = 416;
constexpr int kDesignedClientHeight = 304;

// Message panel: icon column, text column (title line above the message), right margin.
constexpr int kIconPanelWidth = 50;
constexpr int kLeftTaskMessPanelWidth = 20;  // replaces the icon column when task links are shown
constexpr int kIconLeft = 9;
constexpr int kIconTop = 18;
constexpr int kIconSize = 32;
constexpr int kTextRightMargin = 16;  // Panel16
constexpr int kMessageTextTopHeight = 41;
constexpr int kMessageTextBottomHeight = 15;
constexpr int kTitleTop = 15;
constexpr int kTitleHeight = 21;
constexpr int kDesignedTextColumnWidth = kDesignedClientWidth - kIconPanelWidth - kTextRightMargin;  // 350
constexpr int kMessageLabelWidth = 329;   // not anchored: the message wraps here at any dialog width
constexpr int kTitleRightGap = kDesignedTextColumnWidth - kMessageLabelWidth;  // the title follows the width
constexpr int kDesignedMessagePanelHeight = 86;
constexpr int kMinMessagePanelHeight = 71;

// Task panel and its links.
constexpr int kDesignedTaskPanelHeight = 70;
constexpr int kTaskArrowLeft = 50;
constexpr int kTaskArrowTopOffset = 4;
constexpr int kTaskArrowSize = 16;
constexpr int kTaskLinkLeft = 80;
constexpr int kTaskLinkRightGap = 96;  // link and description width = panel width - 96
constexpr int kTaskLinkHeight = 19;
constexpr int kTaskDescriptionGap = 3;
constexpr int kTaskDescriptionHeight = 16;
constexpr int kTaskPanelBottomGap = 16;

// Button bar.
constexpr int kButtsPanelHeight = 45;
constexpr int kDetailsPanelWidth = 116;
constexpr int kDetailsButtonLeft = 8;
constexpr int kDetailsButtonTop = 11;
constexpr int kDetailsButtonWidth = 25;
constexpr int kDetailsButtonHeight = 24;
constexpr int kDetailsLabelLeft = 34;
constexpr int kDetailsLabelTop = 15;
constexpr int kButtonTop = 10;
constexpr int kButtonHeight = 25;
constexpr int kMinButtonWidth = 76;
constexpr int kButtonTextPadding = 14;
constexpr int kButtonFirstLeft = 5;
constexpr int kButtonGap = 5;
constexpr int kButtonsRightPadding = 15;  // with the gap after the last button: 20 pixels

// Details pane.
constexpr int kDetailPanelMinHeight = 37;
constexpr int kDetailTopHeight = 6;
constexpr int kDetailBottomHeight = 6;
constexpr int kDetailMarginLeft = 8;   // Panel2
constexpr int kDetailMarginRight = 8;  // Panel3
constexpr int kDetailLabelLeft = 34;
constexpr int kDetailLabelTop = 7;
constexpr int kDetailLabelWidth = 366;

// Item tree panel.
constexpr int kItemTreeTopHeight = 7;  // Panel7, holding the separator line
constexpr int kItemTreeMargin = 6;     // Panel4, Panel6, Panel10
constexpr int kMinItemTreeHeight = 70;
// The tallest stored height taken: taller than any screen, and small enough that
// the panels, scaled to any display, add up within the window's coordinates.
constexpr int kMaxItemTreeHeight = 4096;
constexpr int kDefaultItemTreeHeight = 70;

// The bitmap strips of the details switch: four 19 x 22 state images side by side.
constexpr int kDetailGlyphWidth = 19;
constexpr int kDetailGlyphHeight = 22;
constexpr int kDetailGlyphCount = 4;  // normal, disabled, pressed, latched

// Message panel height for a message label of the given height.
int MessagePanelHeight(int messageLabelHeight, const DpiScale& scale = {});

// Height the details pane needs for a detail label of the given height.
int DetailPanelHeightNeeded(int detailLabelHeight, const DpiScale& scale = {});

// Width of a push button whose caption measures textWidth pixels, before the
// minimum of the natural-width mode is applied.
int ButtonWidthForText(int textWidth, const DpiScale& scale = {});

// The panels from top to bottom, in pixels; a height of -1 marks a hidden panel.
struct PanelStack {
  int message = kDesignedMessagePanelHeight;
  int taskButtons = -1;
  int buttons = kButtsPanelHeight;
  int detailMessage = -1;
  int itemTree = -1;  // the stored item-tree height while the tree is shown
};

// Client height: the visible panels; the item tree at least kMinItemTreeHeight.
int ClientHeight(const PanelStack& panels, const DpiScale& scale = {});

struct PanelTops {
  int message = 0;
  int taskButtons = -1;
  int buttons = 0;
  int detailMessage = -1;
  int itemTree = -1;
};

// Stacks the visible panels in the order message, task links, buttons, details,
// item tree, whatever order they were shown in.
PanelTops ArrangePanels(const PanelStack& panels);

struct ButtonRow {
  std::vector<int> lefts;   // relative to the button panel
  std::vector<int> widths;
  int panelWidth = 0;       // the button panel is aligned to the right edge
};

// Places the buttons left to right in creation order, 5 pixels apart. In
// same-width mode every button is commonWidth wide; otherwise each keeps its
// natural width.
ButtonRow ArrangeButtons(const std::vector<int>& naturalWidths, bool sameWidth, int commonWidth,
                         const DpiScale& scale = {});

// --- The whole layout -----------------------------------------------------------

// A control's place in the client area.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Box&, const Box&) = default;
};

// A task link as measured: the width its texts wrap at and its description's
// height there.
struct TaskLinkMeasures {
  int wrapWidth = 0;
  int descriptionHeight = 0;
};

// What the layout is computed from: the dialog's state, and its texts measured
// at `scale`. Pixels of that scale.
struct DialogMeasures {
  DpiScale scale;
  int clientWidth = 0;
  // The client width with the fixed dialog border: the task links span it, so
  // the tree's sizing border narrows their right margin and rewraps nothing.
  int linkSpanWidth = 0;
  int messageHeight = 0;                 // the message wrapped at its label's width
  std::vector<TaskLinkMeasures> tasks;   // none: no task panel, the icon instead
  std::vector<int> buttonTextWidths;     // each push button's caption
  bool buttonsSameWidth = true;
  bool hasDetails = false;               // the details switch is shown
  int detailsCaptionWidth = 0;           // "Další informace" on one line
  int detailsCaptionHeight = 0;
  bool detailPaneOpen = false;
  int detailHeight = 0;                  // the text the open pane shows, wrapped
  int detailPanelHeight = 0;             // the pane's height so far: it never shrinks
  bool itemTree = false;                 // the tree is shown
  int itemTreeHeight = 0;                // its panel's height, before the minimum
};

struct TaskLinkBoxes {
  Box arrow;
  Box link;
  Box description;
};

// Every control's place. The icon is shown without task links, the details
// switch (button and caption) when there are details, the detail text while
// the pane is open and the tree while there is one.
struct DialogLayout {
  PanelStack panels;  // the pane's and the tree's heights as settled here
  PanelTops tops;
  int clientWidth = 0;
  int clientHeight = 0;
  Box icon;
  Box title;
  Box message;
  std::vector<TaskLinkBoxes> tasks;
  Box detailsButton;
  Box detailsLabel;
  std::vector<Box> buttons;
  Box detailMessage;
  Box itemsTree;
};

DialogLayout LayOutDialog(const DialogMeasures& measures);

}  // namespace tolvar::dialog_layout
