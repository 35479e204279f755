// The showcase program's dialogs, each opened in a process of its own and worked
// by the robot as a user would: read, screenshot (scripts/screenshots.sh),
// press, and the exit code tells the modal result and the second result. The
// registry value the tree's height is saved in is checked after the end.
#include <gtest/gtest.h>

#include "dialogs/MessageDialogForm_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Registry_win.h"
#include "tests/support/RegistrySnapshot_win.h"
#include "tests/support/Robot_win.h"
#include "tests/support/Scratch_win.h"
#include "tests/support/TreeViewRobot_win.h"
#include "tests/win32/DialogRobot_win.h"

namespace tolvar::test {
namespace {

constexpr DWORD kExitLimitMs = 30000;

DWORD Combined(std::uint16_t modalResult, std::uint16_t resultCode) {
  return modalResult | (static_cast<DWORD>(resultCode) << 16);
}

// Scenarios shown through the front end end with the modal result alone; the
// others also report the dialog's second result.
struct Showcase {
  const char* scenario;
  const char* title;
  std::vector<std::string> buttons;
  std::function<void(HWND dialog)> work;  // after the screenshot
  DWORD exitCode;
  std::optional<DWORD> storedTreeHeight = {};  // "ItemTreePanelHeight" after the end
};

// A scenario in failure messages: its name.
void PrintTo(const Showcase& showcase, std::ostream* out) { *out << showcase.scenario; }

class DialogShowcase : public ::testing::TestWithParam<Showcase> {
 protected:
  void SetUp() override {
    DeleteKeyTree(HKEY_CURRENT_USER, kMessageDialogSetupKey);
    ::SetCursorPos(2, 2);  // keep the pointer off the links
  }
  RegistryKeySnapshot settings_{HKEY_CURRENT_USER, kMessageDialogSetupKey};
};

TEST_P(DialogShowcase, OpensReadsAndAnswers) {
  const Showcase& showcase = GetParam();
  const std::string program = TestProgramFolder() + "dialogdemo.exe";
  auto demo = ChildProcess::Start(program, "\"" + program + "\" " + showcase.scenario);
  ASSERT_TRUE(demo);
  const auto dialog = WaitForWindow(demo->Id(), IsMessageDialog);
  ASSERT_TRUE(dialog) << "no dialog appeared";
  WaitUntilServed(*dialog);
  TakeScreenshotIfWanted(*dialog, std::string("dialog-") + showcase.scenario);
  EXPECT_EQ(WindowText(ControlOf(*dialog, kTitleControlId)), showcase.title);
  EXPECT_FALSE(WindowText(ControlOf(*dialog, kMessageControlId)).empty());
  EXPECT_EQ(ChildTexts(*dialog, "Button"), showcase.buttons);
  showcase.work(*dialog);
  const auto exitCode = demo->Wait(kExitLimitMs);
  ASSERT_TRUE(exitCode);
  EXPECT_EQ(*exitCode, showcase.exitCode);
  if (showcase.storedTreeHeight) {
    EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey).ReadDword("ItemTreePanelHeight"),
              showcase.storedTreeHeight);
  }
}

void Press(HWND dialog, const char* caption) { PressButton(FindButton(dialog, caption)); }

// Opens the details pane, waits for it and takes a second screenshot.
void OpenDetails(HWND dialog, const std::string& name) {
  ClickControl(ControlOf(dialog, kDetailsLabelControlId));
  WaitUntil([&] { return ::IsWindowVisible(ControlOf(dialog, kDetailMessageControlId)) != FALSE; });
  TakeScreenshotIfWanted(dialog, name);
}

// The tree of related messages: read across the process boundary, an item
// selected with its details shown, the window dragged taller.
void WorkTheTree(HWND dialog) {
  const HWND tree = ControlOf(dialog, kItemsTreeControlId);
  const std::vector<TreeNodeInfo> nodes = ReadTreeNodes(tree);
  EXPECT_EQ(TreeLines(nodes), (std::vector<std::string>{"Chyba 0 0", "  setup2.cab: soubor nebyl nalezen 1 1",
                                                         "  data.cab: chyba při čtení 1 2",
                                                         "Kontrola cílové složky 0 3", "  Skupina 0 -1",
                                                         "    Na disku C: zbývá 120 MB 1 4"}));
  OpenDetails(dialog, "dialog-tree-details-open");
  const auto readError = std::find_if(nodes.begin(), nodes.end(), [](const TreeNodeInfo& node) {
    return node.text == "data.cab: chyba při čtení";
  });
  ASSERT_NE(readError, nodes.end());
  ASSERT_TRUE(ClickTreeNode(tree, readError->handle));
  EXPECT_TRUE(WaitUntil(
      [&] { return WindowText(ControlOf(dialog, kDetailMessageControlId)).starts_with("Čtení souboru D:\\DISK2"); }));
  const SIZE before = ClientSizeOf(dialog);
  DragWindowEdge(dialog, HTBOTTOM, 0, 90);
  EXPECT_TRUE(WaitUntil([&] { return ClientSizeOf(dialog).cy == before.cy + 90; }));
  TakeScreenshotIfWanted(dialog, "dialog-tree-taller");
  Press(dialog, "&Obnovit");
}

const Showcase kShowcases[] = {
    {"error", "Chyba", {"Zpět"}, [](HWND d) { Press(d, "Zpět"); }, mrCancel},
    {"warning", "Varování", {"&Přerušit", "&Obnovit", "&Ignorovat"}, [](HWND d) { Press(d, "&Obnovit"); },
     mrRetry},
    {"information", "Informace", {"OK"}, [](HWND d) { PressKey(d, VK_RETURN); }, mrOk},
    {"confirmation", "Potvrďte", {"OK", "Zpět"}, [](HWND d) { PressKey(d, VK_ESCAPE); }, mrCancel},
    {"close", "Chyba", {"&Zavřít"}, [](HWND d) { Press(d, "&Zavřít"); }, mrClose},
    {"no-buttons", "Chyba", {}, [](HWND d) { PressCloseBox(d); }, mrCancel},
    {"details", "Chyba", {"Zpět"},
     [](HWND d) {
       OpenDetails(d, "dialog-details-open");
       Press(d, "Zpět");
     },
     mrCancel},
    {"countdown", "Informace", {"OK [10 s]"},
     [](HWND d) {
       ClickControl(ControlOf(d, kMessageControlId));  // stops the countdown
       WaitUntil([&] { return WindowText(ControlOf(d, IDOK)) == "OK"; });
       Press(d, "OK");
     },
     mrOk},
    {"tasks", "Chybí instalační disk", {"Zpět"},
     [](HWND d) {
       OpenDetails(d, "dialog-tasks-details-open");
       ClickControl(ControlOf(d, kTaskLinkControlId + 1));
     },
     Combined(mrRetry, 6)},
    {"custom", "Varování", {"Přepsat všechny soubory", "Přeskočit", "Zpět"}, [](HWND d) { Press(d, "Přeskočit"); },
     Combined(mrIgnore, 7)},
    // Every custom button (not the standard Back) shows the countdown; the last one
    // carries it and is pressed.
    {"custom-countdown", "Informace", {"Zpět", "Spustit [5 s]", "Počkat [5 s]"}, [](HWND) {},
     Combined(mrNo, 7)},
    {"tree", "Kopírování se nezdařilo", {"Zpět", "&Obnovit"}, WorkTheTree, Combined(mrRetry, 6),
     70 + 90},
    {"long", "Kopírování se nezdařilo", {"Zpět", "&Obnovit", "&Nápověda"}, [](HWND d) { PressKey(d, VK_ESCAPE); },
     mrCancel},
};

INSTANTIATE_TEST_SUITE_P(Scenarios, DialogShowcase, ::testing::ValuesIn(kShowcases),
                         [](const ::testing::TestParamInfo<Showcase>& param) {
                           std::string name = param.param.scenario;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
}  // namespace tolvar::test
