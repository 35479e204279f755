// The message dialog's tree of related messages as a user meets it: the tree's
// nodes read from the real tree view, items selected with the mouse and the
// keyboard while the details pane follows, and the window's height dragged with
// the mouse and remembered in the registry for the next dialog.
#include <gtest/gtest.h>

#include "dialogs/MessageDialogContent_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/Registry_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/RobotInput_win.h"
#include "tests/support/TreeViewRobot_win.h"
#include "tests/win32/DialogRobot_win.h"

namespace tolvar::test {
namespace {

using Lines = std::vector<std::string>;

// Items named A, B, C... with the given levels and details.
struct Items {
  std::vector<std::int32_t> levels;
  std::vector<std::string> details;  // empty or as many as levels

  // The reader keeps its own copy: the dialog may outlive these items.
  TItemReader Reader() const {
    return [copy = *this](std::int32_t index, bool wantDetail, TDialogItem& item) {
      const auto at = static_cast<std::size_t>(index);
      item.Level = copy.levels.at(at);
      item.Text = std::string(1, static_cast<char>('A' + at));
      if (wantDetail && at < copy.details.size()) item.Detail = copy.details[at];
    };
  }
  std::int32_t Last() const { return static_cast<std::int32_t>(levels.size()) - 1; }
};

struct TreeDialogSpec {
  TMessageType type = mltError;
  std::string detail;
  Items items;
  std::uint16_t buttons = 1u << sbkBack;
  std::vector<TMessageDlgButton> customButtons;
};

// Configured in the order the message log uses, with the items last.
void Configure(TMessDlgForm& form, const TreeDialogSpec& params) {
  TDialogRec record;
  BuildDialogRec(record, true, params.buttons, params.customButtons, {}, 0, -1, 0, -1, {}, {}, 1);
  ConfigureMessageDialog(form, {.type = params.type, .text = "Některé soubory se nepodařilo zkopírovat.",
                                .detail = params.detail, .record = record, .itemReader = params.items.Reader(),
                                .firstItem = 0, .lastItem = params.items.Last()});
}

// Shown once the dialog is: the control's own visibility, whether or not the dialog is on the screen.
bool Shown(HWND control) { return (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

HWND TreeOf(HWND dialog) { return ControlOf(dialog, kItemsTreeControlId); }
std::string ShownDetail(HWND dialog) { return WindowText(ControlOf(dialog, kDetailMessageControlId)); }

const TreeNodeInfo* NodeNamed(const std::vector<TreeNodeInfo>& nodes, const std::string& text) {
  for (const TreeNodeInfo& node : nodes) {
    if (node.text == text) return &node;
  }
  return nullptr;
}

// Clicks the node with the text and waits until the details pane shows `expected`.
bool SelectAndWaitFor(HWND dialog, const std::string& node, const std::string& expected) {
  const auto nodes = ReadTreeNodes(TreeOf(dialog));
  const TreeNodeInfo* target = NodeNamed(nodes, node);
  if (!target || !ClickTreeNode(TreeOf(dialog), target->handle)) return false;
  return WaitUntil([&] { return ShownDetail(dialog) == expected; }, 3000);
}

int StoredTreeHeight() {
  return static_cast<int>(
      RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey).ReadDword("ItemTreePanelHeight").value_or(0));
}

using ItemTree = DialogSettingsTest;

TEST_F(ItemTree, ASingleItemIsOneNodeNamedAfterTheMessageType) {
  const std::pair<TMessageType, const char*> types[] = {
      {mltError, "Chyba"}, {mltWarning, "Varování"}, {mltInformation, "Informace"}, {mltConfirmation, "Potvrďte"}};
  for (const auto& [type, name] : types) {
    SCOPED_TRACE(name);
    TMessDlgForm form;
    Configure(form, {.type = type, .items = {.levels = {0}}});
    EXPECT_EQ(TreeLines(ReadTreeNodes(form.ItemsTreeView())), Lines{std::string(name) + " 1 0"});
    EXPECT_TRUE(form.ItemTreeVisible());
    EXPECT_TRUE(Shown(form.ItemsTreeView()));
    EXPECT_NE(::GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
    EXPECT_EQ(ClientSizeOf(form.Handle()).cy, 71 + 45 + 70);
  }
  // A later message type renames the first node, as it retitles the dialog.
  TMessDlgForm form;
  Configure(form, {.items = {.levels = {0, 0}}});
  form.SetMessageType(mltWarning);
  EXPECT_EQ(TreeLines(ReadTreeNodes(form.ItemsTreeView())), (Lines{"Varování 1 0", "B 1 1"}));
}

TEST_F(ItemTree, ItemsAreGroupedByDepthAllOpenTheFirstSelected) {
  TMessDlgForm form;
  Configure(form, {.items = {.levels = {0, 1, 1, 0, 2}}});
  const auto nodes = ReadTreeNodes(form.ItemsTreeView());
  // A (named after the type) and D got children and show the group image, so does the group node.
  EXPECT_EQ(TreeLines(nodes), (Lines{"Chyba 0 0", "  B 1 1", "  C 1 2", "D 0 3", "  Skupina 0 -1", "    E 1 4"}));
  for (const TreeNodeInfo& node : nodes) {
    EXPECT_EQ(node.selectedImage, node.image) << node.text;
    EXPECT_EQ(node.expanded, node.hasChildren) << node.text;
    EXPECT_EQ(node.selected, node.text == "Chyba") << node.text;
  }

  TMessDlgForm gap;
  Configure(gap, {.type = mltInformation, .items = {.levels = {0, 2, -1}}});
  // The missing depth is a group node; a level below 0 counts as a top-level item.
  EXPECT_EQ(TreeLines(ReadTreeNodes(gap.ItemsTreeView())),
            (Lines{"Informace 0 0", "  Skupina 0 -1", "    B 1 1", "C 1 2"}));
}

TEST_F(ItemTree, WithoutAReaderThePanelIsShownEmpty) {
  TMessDlgForm form;
  Configure(form, {.items = {.levels = {0, 1}}});
  form.SetItemReader(nullptr);
  form.SetItemRange(0, 1);
  form.SetMessageType(mltWarning);
  EXPECT_TRUE(ReadTreeNodes(form.ItemsTreeView()).empty());
  EXPECT_TRUE(form.ItemTreeVisible());
  EXPECT_FALSE(form.ItemsHaveDetails());
  EXPECT_TRUE(Shown(form.ItemsTreeView()));
  EXPECT_EQ(ClientSizeOf(form.Handle()).cy, 71 + 45 + 70);
  EXPECT_FALSE(Shown(ControlOf(form.Handle(), kDetailsLabelControlId)));
}

TEST_F(ItemTree, AnItemWithADetailBringsTheDetailsSwitchToADialogWithoutOne) {
  TMessDlgForm withDetail;
  Configure(withDetail, {.items = {.levels = {0, 1, 1}, .details = {"", "", "Podrobnosti položky C"}}});
  EXPECT_TRUE(withDetail.ItemsHaveDetails());
  EXPECT_TRUE(Shown(ControlOf(withDetail.Handle(), kDetailsLabelControlId)));
  EXPECT_TRUE(Shown(ControlOf(withDetail.Handle(), kDetailsButtonControlId)));
  EXPECT_FALSE(Shown(ControlOf(withDetail.Handle(), kDetailMessageControlId)));  // the pane stays closed

  TMessDlgForm without;
  Configure(without, {.items = {.levels = {0, 1, 1}}});
  EXPECT_FALSE(without.ItemsHaveDetails());
  EXPECT_FALSE(Shown(ControlOf(without.Handle(), kDetailsLabelControlId)));
  EXPECT_FALSE(Shown(ControlOf(without.Handle(), kDetailsButtonControlId)));

  // A tree that goes away again leaves the fixed border and no tree behind.
  withDetail.SetItemRange(-1, -1);
  EXPECT_FALSE(Shown(withDetail.ItemsTreeView()));
  EXPECT_EQ(::GetWindowLongPtrW(withDetail.Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
}

TEST_F(ItemTree, AClickInTheTreeStopsTheCountdown) {
  TMessDlgForm form;
  Configure(form, {.items = {.levels = {0, 1}}});
  TDialogRec record;
  BuildDialogRec(record, true, (1u << sbkOk) | (1u << sbkBack), {}, {}, 0, 2000, sbkOk, -1, {}, {}, 1);
  form.SetDialogRec(record);
  std::string before, after;
  bool stillOpen = false;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        const HWND ok = ControlOf(dialog, IDOK);
        before = WindowText(ok);
        const auto nodes = ReadTreeNodes(TreeOf(dialog));
        if (nodes.size() == 2) ClickTreeNode(TreeOf(dialog), nodes[1].handle);
        WaitUntil([&] { return WindowText(ok) == "OK"; }, 2000);
        clock_.Advance(2500);  // past the deadline
        TickCountdown(dialog);
        after = WindowText(ok);
        stillOpen = ::IsWindowVisible(dialog) != FALSE;
        PressKey(dialog, VK_ESCAPE);
      },
      [&] { return form.Execute(); });
  EXPECT_EQ(before, "OK [2 s]");
  EXPECT_EQ(after, "OK");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, mrCancel);
}

TEST_F(ItemTree, TypingInTheTreeSearchesItsNodesAndPressesNoButton) {
  // Nodes "Chyba" (the first, renamed), "B" and "C"; buttons "Zpět", "&Obnovit"
  // and "&Bez opravy", whose access keys are typed into the tree.
  const TMessageDlgButton withoutRepair{"&Bez opravy", "", 7, 7, false, false, false};
  TMessDlgForm form;
  Configure(form, {.items = {.levels = {0, 0, 0}},
                   .buttons = (1u << sbkBack) | (1u << sbkRetry),
                   .customButtons = {withoutRepair}});
  HWND focusInTree = nullptr;
  std::string selectedAfterB, selectedAfterO;
  bool openAfterTyping = false;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        const HWND tree = TreeOf(dialog);
        const auto nodes = ReadTreeNodes(tree);
        if (nodes.empty() || !ClickTreeNode(tree, nodes.front().handle)) return;
        WaitUntil([&] { return FocusOf(dialog) == tree; }, 3000);
        focusInTree = FocusOf(dialog);
        const auto selected = [&] {
          const auto node = SelectedTreeNode(tree);
          return node ? node->text : std::string();
        };
        PressKey(dialog, 'B');
        WaitUntilHandled(dialog);
        selectedAfterB = selected();
        PressKey(dialog, 'O');
        openAfterTyping = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
        selectedAfterO = selected();
        PressAltKey(dialog, 'O');  // Alt makes it the access key of "&Obnovit"
      },
      [&] { return form.Execute(); });
  EXPECT_EQ(focusInTree, form.ItemsTreeView());
  EXPECT_EQ(selectedAfterB, "B");  // the tree's incremental search took the letter
  EXPECT_TRUE(openAfterTyping);
  EXPECT_EQ(selectedAfterO, "B");  // "bo" names no node
  EXPECT_EQ(result, mrRetry);
  EXPECT_EQ(form.ResultCode(), 6);
}

const std::string kShortDetail = "Soubor setup2.cab chybí.";
const std::string kLongDetail =
    "Čtení souboru D:\\DISK2\\data.cab skončilo chybou zařízení. Disk může být poškrábaný nebo znečištěný: "
    "otřete jej a zkuste to znovu. Pokud chyba přetrvává, požádejte dodavatele o náhradní disk.";

TEST_F(ItemTree, SelectingAnItemShowsItsDetailAGroupTheDialogsOwn) {
  ASSERT_TRUE(
      RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kMessageDialogSetupKey).WriteDword("DetailMessageVisible", 1));
  const TreeDialogSpec params{.detail = "Podrobnosti dialogu",
                            .items = {.levels = {0, 1, 1, 0, 2}, .details = {"", kShortDetail, kLongDetail, "", "E"}}};

  // The pane as high as the longest item detail needs, measured by a dialog showing only that text.
  TMessDlgForm reference;
  Configure(reference, {.detail = kLongDetail});
  const int longestPane = reference.Panels().detailMessage;
  ASSERT_GT(longestPane, 37);

  TMessDlgForm form;
  Configure(form, params);
  EXPECT_EQ(form.Panels().detailMessage, longestPane);
  std::string first, afterB, afterC, afterGroup, afterDown;
  std::vector<int> heights;
  HWND focusAfterTab = nullptr, focusAfterSecondTab = nullptr;
  const auto result = WithDialogRobot(
      [&](HWND dialog) {
        TakeScreenshotIfWanted(dialog, "itemtree-first");
        first = ShownDetail(dialog);
        heights.push_back(ClientSizeOf(dialog).cy);
        if (SelectAndWaitFor(dialog, "B", kShortDetail)) afterB = ShownDetail(dialog);
        heights.push_back(ClientSizeOf(dialog).cy);
        if (SelectAndWaitFor(dialog, "C", kLongDetail)) afterC = ShownDetail(dialog);
        heights.push_back(ClientSizeOf(dialog).cy);
        TakeScreenshotIfWanted(dialog, "itemtree-long-detail");
        if (SelectAndWaitFor(dialog, "Skupina", params.detail)) afterGroup = ShownDetail(dialog);
        // The keyboard: Tab leaves the clicked tree for the button and comes back,
        // and in the tree the arrows walk the nodes.
        PressKey(dialog, VK_TAB);
        WaitUntil([&] { return FocusOf(dialog) == ControlOf(dialog, IDCANCEL); }, 3000);
        focusAfterTab = FocusOf(dialog);
        PressKey(dialog, VK_TAB);
        WaitUntil([&] { return FocusOf(dialog) == TreeOf(dialog); }, 3000);
        focusAfterSecondTab = FocusOf(dialog);
        PressKey(dialog, VK_DOWN);
        WaitUntil([&] { return ShownDetail(dialog) == "E"; }, 3000);
        afterDown = ShownDetail(dialog);
        heights.push_back(ClientSizeOf(dialog).cy);
        PressKey(dialog, VK_ESCAPE);
      },
      [&] { return form.Execute(); });
  EXPECT_EQ(first, "");  // the first item has no detail of its own
  EXPECT_EQ(afterB, kShortDetail);
  EXPECT_EQ(afterC, kLongDetail);
  EXPECT_EQ(afterGroup, params.detail);
  EXPECT_EQ(focusAfterTab, ControlOf(form.Handle(), IDCANCEL));
  EXPECT_EQ(focusAfterSecondTab, form.ItemsTreeView());
  EXPECT_EQ(afterDown, "E");
  // Pre-sized for the longest detail: selecting never changes the window's height.
  EXPECT_EQ(heights, std::vector<int>(4, 71 + 45 + longestPane + 70));
  EXPECT_EQ(result, mrCancel);
}

TEST_F(ItemTree, TheHeightTheUserDragsIsRememberedAndTheWidthStaysFixed) {
  const TreeDialogSpec params{.items = {.levels = {0, 1, 1}}};
  TMessDlgForm form;
  Configure(form, params);
  SIZE before{}, taller{};
  RECT treeBefore{}, treeTaller{}, frameBefore{}, frameAfterRightDrag{};
  MINMAXINFO limits{};
  int nonClientHeight = 0;
  WithDialogRobot(
      [&](HWND dialog) {
        before = ClientSizeOf(dialog);
        treeBefore = BoundsOf(TreeOf(dialog));
        DragWindowEdge(dialog, HTBOTTOM, 0, 60);
        WaitUntil([&] { return ClientSizeOf(dialog).cy == before.cy + 60; }, 3000);
        taller = ClientSizeOf(dialog);
        treeTaller = BoundsOf(TreeOf(dialog));
        TakeScreenshotIfWanted(dialog, "itemtree-taller");
        ::GetWindowRect(dialog, &frameBefore);
        DragWindowEdge(dialog, HTRIGHT, 80, 0);
        WaitUntilHandled(dialog);
        ::GetWindowRect(dialog, &frameAfterRightDrag);
        ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        nonClientHeight = static_cast<int>(frameAfterRightDrag.bottom - frameAfterRightDrag.top) -
                          ClientSizeOf(dialog).cy;
        PressCloseBox(dialog);
      },
      [&] { return form.Execute(); });
  EXPECT_EQ(before.cy, 71 + 45 + 70);
  EXPECT_EQ(taller.cy, before.cy + 60);
  EXPECT_EQ(treeTaller.top, treeBefore.top);  // the tree panel below the buttons took the height
  EXPECT_EQ(treeTaller.bottom, treeBefore.bottom + 60);
  EXPECT_EQ(form.ItemTreePanelHeight(), 130);
  // Only the height may change: the right edge does not move.
  EXPECT_EQ(frameAfterRightDrag.right - frameAfterRightDrag.left, 440);
  EXPECT_EQ(frameAfterRightDrag.right, frameBefore.right);
  EXPECT_EQ(limits.ptMinTrackSize.x, 440);
  EXPECT_EQ(limits.ptMaxTrackSize.x, 440);
  EXPECT_EQ(limits.ptMinTrackSize.y, 71 + 45 + 70 + nonClientHeight);
  EXPECT_EQ(StoredTreeHeight(), 130);  // saved at close

  // The next dialog with a tree opens with that height; one without a tree keeps its own.
  TMessDlgForm next;
  Configure(next, params);
  EXPECT_EQ(ClientSizeOf(next.Handle()).cy, 71 + 45 + 130);
  TMessDlgForm plain;
  Configure(plain, params);
  plain.SetItemRange(-1, -1);
  EXPECT_EQ(ClientSizeOf(plain.Handle()).cy, 71 + 45);

  // Dragged shorter than the tree's minimum, the window stops at it.
  SIZE shortest{};
  WithDialogRobot(
      [&](HWND dialog) {
        DragWindowEdge(dialog, HTBOTTOM, 0, -200);
        WaitUntil([&] { return ClientSizeOf(dialog).cy == 71 + 45 + 70; }, 3000);
        shortest = ClientSizeOf(dialog);
        PressCloseBox(dialog);
      },
      [&] { return next.Execute(); });
  EXPECT_EQ(shortest.cy, 71 + 45 + 70);
  EXPECT_EQ(next.ItemTreePanelHeight(), 70);
  EXPECT_EQ(StoredTreeHeight(), 70);
}

TEST_F(ItemTree, AStoredHeightOutsideItsRangeIsBroughtIntoIt) {
  // Below the minimum: raised to 70. Beyond what the layout can add up: the tallest kept.
  for (const auto& [stored, taken] : {std::pair<std::uint32_t, int>{20u, 70}, {0u, 70}, {0xFFFFFFF0u /* -16 */, 70},
                                      {0x7FFFFFFFu, dialog_layout::kMaxItemTreeHeight},
                                      {0x40000000u, dialog_layout::kMaxItemTreeHeight}}) {
    SCOPED_TRACE(stored);
    ASSERT_TRUE(
        RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kMessageDialogSetupKey).WriteDword("ItemTreePanelHeight", stored));
    TMessDlgForm form;
    Configure(form, {.items = {.levels = {0}}});
    EXPECT_EQ(form.ItemTreePanelHeight(), taken);
    if (taken == 70) {
      EXPECT_EQ(ClientSizeOf(form.Handle()).cy, 71 + 45 + 70);
    }
  }
}

}  // namespace
}  // namespace tolvar::test
