// The message dialog window as a user meets it: a robot on a second thread reads
// and works each real dialog while the test thread runs it modally.
#include "dialogs/MessageDialogForm_win.h"

#include <gtest/gtest.h>

#include <atomic>

#include "dialogs/MessageDialogContent_win.h"
#include "dialogs/MsgBoxTypes.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/Controls_win.h"
#include "platform/Registry_win.h"
#include "tests/support/RegistrySnapshot_win.h"
#include "tests/support/Robot_win.h"
#include "tests/win32/DialogRobot_win.h"

namespace tolvar::test {
namespace {

using dialog_layout::PanelStack;

TMessageDlgButton Button(std::string caption, std::uint16_t modalResult, std::uint16_t resultCode,
                         bool isDefault = false, bool isCancel = false) {
  TMessageDlgButton button;
  button.Caption = std::move(caption);
  button.ModalResult = modalResult;
  button.ResultCode = resultCode;
  button.IsDefault = isDefault;
  button.IsCancel = isCancel;
  return button;
}

TDialogRec Record(std::uint16_t buttons, std::vector<TMessageDlgButton> custom = {},
                  std::vector<TMessageDlgButton> tasks = {}) {
  TDialogRec record;
  BuildDialogRec(record, true, buttons, custom, tasks, 0, -1, 0, -1, {}, {}, 1);
  return record;
}

// One dialog, configured in the order the message log uses.
struct DialogSpec {
  TMessageType type = mltError;
  std::string title;
  std::string text = "Archivní soubor nenalezen.";
  std::string detail;
  bool sameWidth = true;
  TDialogRec record = Record(1u << sbkBack);
};

void Configure(TMessDlgForm& form, const DialogSpec& params) {
  ConfigureMessageDialog(form, {.type = params.type, .title = params.title, .text = params.text,
                                .detail = params.detail, .buttsSameWidth = params.sameWidth, .record = params.record});
}

struct Outcome {
  std::uint16_t modalResult = 0;
  std::uint16_t resultCode = 0;
  PanelStack panels;  // as the dialog was shown
  bool detailMessageVisible = false;
};

Outcome RunDialog(const DialogSpec& params, std::function<void(HWND)> robot,
            const std::function<void(TMessDlgForm&)>& beforeShow = {}) {
  TMessDlgForm form;
  Configure(form, params);
  if (beforeShow) beforeShow(form);
  Outcome outcome;
  outcome.panels = form.Panels();
  outcome.modalResult = WithDialogRobot(std::move(robot), [&] { return form.Execute(); });
  outcome.resultCode = form.ResultCode();
  outcome.detailMessageVisible = form.DetailMessageVisible();
  return outcome;
}

using MessageDialog = DialogSettingsTest;

TEST_F(MessageDialog, OneLineMessageWithTheBackButton) {
  std::string caption, title, message;
  std::vector<std::string> buttons;
  SIZE client{};
  RECT back{};
  HWND focus = nullptr, backButton = nullptr;
  bool moreInformationShown = true;
  const Outcome outcome = RunDialog({}, [&](HWND dialog) {
    caption = WindowText(dialog);
    title = WindowText(ControlOf(dialog, kTitleControlId));
    message = WindowText(ControlOf(dialog, kMessageControlId));
    buttons = ChildTexts(dialog, "Button");
    client = ClientSizeOf(dialog);
    backButton = ControlOf(dialog, IDCANCEL);
    back = BoundsOf(backButton);
    focus = FocusOf(dialog);
    moreInformationShown = ::IsWindowVisible(ControlOf(dialog, kDetailsLabelControlId)) != FALSE;
    PressButton(backButton);
  });
  EXPECT_EQ(caption, "Install");  // the application's title
  EXPECT_EQ(title, "Chyba");
  EXPECT_EQ(message, "Archivní soubor nenalezen.");
  EXPECT_EQ(buttons, std::vector<std::string>{"Zpět"});
  EXPECT_FALSE(moreInformationShown);  // no details, no switch
  // One line of 13 pixels: 41 + 15 + 13 = 69, raised to 71; then the button bar.
  EXPECT_EQ(outcome.panels.message, 71);
  EXPECT_EQ(client.cy, 71 + 45);
  EXPECT_EQ(back.top, 71 + 10);
  EXPECT_EQ(back.right - back.left, 76);
  EXPECT_EQ(back.right, client.cx - 20);
  EXPECT_EQ(focus, backButton);  // no default button: the first one has the focus
  EXPECT_EQ(outcome.modalResult, mrCancel);
  EXPECT_EQ(outcome.resultCode, 2);
}

TEST_F(MessageDialog, TwoLinesMakeTheMessagePanel82AndTheWindow440Wide) {
  DialogSpec params;
  params.text = "První řádek zprávy\nDruhý řádek zprávy";
  params.record = Record(0xF800 | (1u << sbkBack));  // bits above 10 name no button
  RECT frame{};
  std::vector<std::string> buttons;
  const Outcome outcome = RunDialog(params, [&](HWND dialog) {
    ::GetWindowRect(dialog, &frame);
    buttons = ChildTexts(dialog, "Button");
    PressCloseBox(dialog);
  });
  EXPECT_EQ(buttons, std::vector<std::string>{"Zpět"});
  EXPECT_EQ(outcome.panels.message, 82);
  EXPECT_EQ(frame.right - frame.left, 440);
  EXPECT_EQ(outcome.modalResult, mrCancel);
  EXPECT_EQ(outcome.resultCode, 0);  // the close box records no second result
}

TEST_F(MessageDialog, OkAndBackInOrderOkFocusedEnterAndEsc) {
  DialogSpec params;
  params.type = mltConfirmation;
  params.record = Record(0x0018);
  for (const UINT key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    std::vector<std::string> buttons;
    RECT ok{}, back{};
    HWND focus = nullptr, okButton = nullptr;
    const Outcome outcome = RunDialog(params, [&](HWND dialog) {
      buttons = ChildTexts(dialog, "Button");
      okButton = ControlOf(dialog, IDOK);
      ok = BoundsOf(okButton);
      back = BoundsOf(ControlOf(dialog, IDCANCEL));
      focus = FocusOf(dialog);
      PressKey(dialog, key);
    });
    EXPECT_EQ(buttons.size(), 2u);
    EXPECT_EQ(focus, okButton);
    EXPECT_EQ(ok.right - ok.left, 76);  // both captions are narrower than 62 pixels
    EXPECT_EQ(back.right - back.left, 76);
    EXPECT_EQ(back.left, ok.right + 5);  // OK first, Back beside it
    EXPECT_EQ(outcome.modalResult, key == VK_RETURN ? mrOk : mrCancel);
    EXPECT_EQ(outcome.resultCode, key == VK_RETURN ? 6 : 2);
  }
}

TEST_F(MessageDialog, EnterGoesToTheDefaultTaskLinksFirstWhateverPushButtonHasTheFocus) {
  const TMessageDlgButton plain = Button("Vybrat jinou složku", 3, 7);
  const TMessageDlgButton chosen = Button("Vložit disk a pokračovat", 5, 7, true);
  const TMessageDlgButton later = Button("Pokračovat bez disku", 11, 6, true);
  const TMessageDlgButton stays = Button("Zobrazit protokol", 0, 9, true);  // no modal result
  struct Case {
    const char* name;
    std::vector<TMessageDlgButton> tasks;
    bool focusBack;  // move the focus from "OK" to "Zpět" first
    std::uint16_t modalResult;
    std::uint16_t resultCode;
  };
  const Case cases[] = {
      {"OK default and focused", {plain, chosen}, false, 5, 7},
      {"Back focused", {plain, chosen}, true, 5, 7},
      {"two default links: the last one's result", {chosen, plain, later}, false, 11, 6},
      // The key is not consumed: a link that leaves the dialog open lets it go on.
      {"a link without a result, then OK", {plain, stays}, false, mrOk, 6},
      {"a link without a result, then the focused Back", {stays}, true, mrCancel, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DialogSpec params;
    params.type = mltConfirmation;
    params.record = Record(0x0018, {}, c.tasks);
    HWND focusAtEnter = nullptr, expectedFocus = nullptr;
    const Outcome outcome = RunDialog(params, [&](HWND dialog) {
      expectedFocus = ControlOf(dialog, c.focusBack ? IDCANCEL : IDOK);
      if (c.focusBack) {
        PressKey(dialog, VK_RIGHT);
        WaitUntilHandled(dialog);
      }
      focusAtEnter = FocusOf(dialog);
      PressKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(focusAtEnter, expectedFocus);
    EXPECT_EQ(outcome.modalResult, c.modalResult);
    EXPECT_EQ(outcome.resultCode, c.resultCode);
  }
}

TEST_F(MessageDialog, AccessKeysNeedAltOrAFocusedPushButton) {
  // "Zpět" and "&Obnovit", the default button, which has the focus at first.
  DialogSpec params;
  params.record = Record((1u << sbkBack) | (1u << sbkRetry));
  HWND focusAtKey = nullptr, back = nullptr;
  const Outcome plainOnBack = RunDialog(params, [&](HWND dialog) {
    back = ControlOf(dialog, IDCANCEL);
    PressKey(dialog, VK_LEFT);
    WaitUntilHandled(dialog);
    focusAtKey = FocusOf(dialog);
    PressKey(dialog, 'O');
  });
  EXPECT_EQ(focusAtKey, back);
  EXPECT_EQ(plainOnBack.modalResult, mrRetry);
  EXPECT_EQ(plainOnBack.resultCode, 6);

  // With a task link and no default button the window itself has the focus: a
  // plain letter is no access key there, Alt with it is.
  params.record = Record((1u << sbkBack) | (1u << sbkIgnore), {}, {Button("Zobrazit protokol", 0, 9)});
  HWND focusedWindow = nullptr, window = nullptr;
  bool openAfterPlainKey = false;
  const Outcome withAlt = RunDialog(params, [&](HWND dialog) {
    window = dialog;
    focusedWindow = FocusOf(dialog);
    PressKey(dialog, 'I');
    openAfterPlainKey = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
    PressAltKey(dialog, 'I');
  });
  EXPECT_EQ(focusedWindow, window);
  EXPECT_TRUE(openAfterPlainKey);
  EXPECT_EQ(withAlt.modalResult, mrIgnore);
  EXPECT_EQ(withAlt.resultCode, 7);

  // A Czech access key matches in either case, as a Czech keyboard types it.
  params.record = Record(1u << sbkBack, {Button("&Šablona", 8, 6)});
  const Outcome czech = RunDialog(params, [&](HWND dialog) {
    const HWND focus = FocusOf(dialog);
    ::PostMessageW(focus ? focus : dialog, WM_SYSCHAR, L'š', 1 | (1LL << 29));
  });
  EXPECT_EQ(czech.modalResult, 8);
  EXPECT_EQ(czech.resultCode, 6);
}

int CaptionWidth(const std::string& caption) {
  const UniqueFont font = CreateFontByHeight(L"Tahoma", -11);
  const HDC dc = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, font.get());
  const std::wstring text(caption.begin(), caption.end());
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return size.cx;
}

TEST_F(MessageDialog, ALongCaptionWidensEveryButtonOrOnlyItselfInNaturalWidth) {
  const std::string longCaption = "Overwrite all setup files now";  // ASCII: measured alike here
  const int longWidth = CaptionWidth(longCaption) + 14;
  ASSERT_GT(longWidth, 76);
  DialogSpec params;
  params.record = Record(1u << sbkOk, {Button(longCaption, 8, 6)});
  for (const bool sameWidth : {true, false}) {
    SCOPED_TRACE(sameWidth);
    params.sameWidth = sameWidth;
    RECT ok{}, custom{};
    SIZE client{};
    RunDialog(params, [&](HWND dialog) {
      ok = BoundsOf(ControlOf(dialog, IDOK));
      custom = BoundsOf(ControlOf(dialog, 8));
      client = ClientSizeOf(dialog);
      PressButton(ControlOf(dialog, IDOK));
    });
    EXPECT_EQ(custom.right - custom.left, longWidth);
    EXPECT_EQ(ok.right - ok.left, sameWidth ? longWidth : 76);
    EXPECT_EQ(custom.left, ok.right + 5);  // standard kinds first, then custom buttons
    EXPECT_EQ(custom.right, client.cx - 20);
  }
}

TEST_F(MessageDialog, HelpButtonsLeaveTheDialogOpen) {
  std::vector<std::int32_t> helpCalls;
  std::atomic<std::size_t> helpCallCount{0};  // read by the robot
  Application::Instance().SetOnHelp([&](std::int32_t context) {
    helpCalls.push_back(context);
    ++helpCallCount;
    return true;
  });
  TMessageDlgButton help = Button("Nápověda k instalaci", 0, 9);
  help.IsHelp = true;
  DialogSpec params;
  params.record = Record((1u << sbkOk) | (1u << sbkHelp), {help});
  params.record.HelpContext = 77;
  bool openAfterStandardHelp = false, openAfterOwnHelp = false;
  std::size_t helpCallsAfterStandardHelp = 99;
  const Outcome outcome = RunDialog(params, [&](HWND dialog) {
    const HWND standardHelp = FindButton(dialog, "&Nápověda");
    const HWND ownHelp = FindButton(dialog, "Nápověda k instalaci");
    PressButton(standardHelp);
    openAfterStandardHelp = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
    helpCallsAfterStandardHelp = helpCallCount;
    PressButton(ownHelp);
    openAfterOwnHelp = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
    PressCloseBox(dialog);
  });
  Application::Instance().SetOnHelp(nullptr);
  EXPECT_TRUE(openAfterStandardHelp);
  EXPECT_TRUE(openAfterOwnHelp);
  EXPECT_EQ(helpCallsAfterStandardHelp, 0u);
  // Only the help-marked button opens the help; the standard one records result code 0.
  EXPECT_EQ(helpCalls, std::vector<std::int32_t>{77});
  EXPECT_EQ(outcome.modalResult, mrCancel);
  EXPECT_EQ(outcome.resultCode, 0);
}

TEST_F(MessageDialog, CountdownShowsWholeSecondsAndPressesItsButton) {
  DialogSpec params;
  params.type = mltInformation;
  params.record = Record(0x0018);
  params.record.CountdownTime = 3000;
  params.record.CountdownButtonKind = sbkOk;
  std::string first, lastSecond;
  bool openJustBeforeTheDeadline = false;
  const Outcome outcome = RunDialog(params, [&](HWND dialog) {
    const HWND ok = ControlOf(dialog, IDOK);
    first = WindowText(ok);
    clock_.Advance(2500);
    TickCountdown(dialog);
    lastSecond = WindowText(ok);
    clock_.Advance(499);
    TickCountdown(dialog);
    openJustBeforeTheDeadline = ::IsWindowVisible(dialog) != FALSE;
    clock_.Advance(1);  // the deadline: the timer's next tick presses the button
  });
  EXPECT_EQ(first, "OK [3 s]");
  EXPECT_EQ(lastSecond, "OK [1 s]");
  EXPECT_TRUE(openJustBeforeTheDeadline);
  EXPECT_EQ(outcome.modalResult, mrOk);
  EXPECT_EQ(outcome.resultCode, 6);
}

TEST_F(MessageDialog, ClickingTheMessageOrTheIconStopsTheCountdownForGood) {
  DialogSpec params;
  params.record = Record(0x0018);
  params.record.CountdownTime = 2000;
  params.record.CountdownButtonKind = sbkOk;
  for (const int clicked : {kMessageControlId, kIconControlId}) {
    SCOPED_TRACE(clicked);
    std::string before, after;
    bool stillOpen = false;
    const Outcome outcome = RunDialog(params, [&](HWND dialog) {
      const HWND ok = ControlOf(dialog, IDOK);
      before = WindowText(ok);
      ClickControl(ControlOf(dialog, clicked));
      WaitUntil([&] { return WindowText(ok) == "OK"; }, 2000);
      clock_.Advance(2500);  // past the deadline
      TickCountdown(dialog);
      after = WindowText(ok);
      stillOpen = ::IsWindowVisible(dialog) != FALSE;
      PressKey(dialog, VK_ESCAPE);
    });
    EXPECT_EQ(before, "OK [2 s]");
    EXPECT_EQ(after, "OK");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(outcome.modalResult, mrCancel);
  }
}

TEST_F(MessageDialog, CountdownOnCustomButtonsGoesToTheLastOne) {
  DialogSpec params;
  params.record = Record(0, {Button("Spustit", 1, 6), Button("Počkat", 7, 7), Button("Zrušit", 2, 2, false, true)});
  params.record.CountdownTime = 60000;
  params.record.CountdownButtonKind = kCustomButtonKind;
  std::vector<std::string> captions, afterClick;
  HWND carrier = nullptr, last = nullptr;
  RunDialog(
      params,
      [&](HWND dialog) {
        captions = ChildTexts(dialog, "Button");
        last = ControlOf(dialog, 2);
        ClickAt(dialog, POINT{5, 5});  // the icon column
        WaitUntil([&] { return WindowText(last) == "Zrušit"; }, 2000);
        afterClick = ChildTexts(dialog, "Button");
        PressButton(last);
      },
      [&](TMessDlgForm& form) { carrier = form.CountdownButton(); });
  EXPECT_EQ(captions, (std::vector<std::string>{"Spustit [60 s]", "Počkat [60 s]", "Zrušit [60 s]"}));
  EXPECT_EQ(carrier, last);
  // Only the countdown's own button gets its plain caption back.
  EXPECT_EQ(afterClick, (std::vector<std::string>{"Spustit [60 s]", "Počkat [60 s]", "Zrušit"}));
}

TEST_F(MessageDialog, ACountdownOnNoButtonOnlyTicks) {
  struct Case {
    std::int32_t time;
    std::uint8_t kind;
    std::int32_t index;
  };
  for (const Case& c : {Case{800, 0, -1}, Case{800, sbkOk, 5}, Case{0, sbkOk, -1}, Case{-1, sbkOk, -1}}) {
    SCOPED_TRACE(c.time);
    DialogSpec params;
    params.record = Record(0x0018);
    params.record.CountdownTime = c.time;
    params.record.CountdownButtonKind = c.kind;
    params.record.CountdownButtonIndex = c.index;
    std::string caption;
    bool stillOpen = false;
    const Outcome outcome = RunDialog(params, [&](HWND dialog) {
      caption = WindowText(ControlOf(dialog, IDOK));
      clock_.Advance(1300);
      TickCountdown(dialog);
      stillOpen = ::IsWindowVisible(dialog) != FALSE;
      PressCloseBox(dialog);
    });
    EXPECT_EQ(caption, "OK");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(outcome.modalResult, mrCancel);
  }
}

TEST_F(MessageDialog, TheDetailsPaneOpensAsStoredAndItsStateIsSaved) {
  ASSERT_TRUE(RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kMessageDialogSetupKey).WriteDword("DetailMessageVisible", 1));
  DialogSpec params;
  params.detail = "Zdrojová složka: D:\\";
  SIZE open{}, closed{};
  std::string shownDetail, moreInformation;
  bool paneAfterClick = true;
  const Outcome first = RunDialog(params, [&](HWND dialog) {
    open = ClientSizeOf(dialog);
    shownDetail = WindowText(ControlOf(dialog, kDetailMessageControlId));
    moreInformation = WindowText(ControlOf(dialog, kDetailsLabelControlId));
    ClickControl(ControlOf(dialog, kDetailsLabelControlId));
    WaitUntil([&] { return !::IsWindowVisible(ControlOf(dialog, kDetailMessageControlId)); });
    paneAfterClick = ::IsWindowVisible(ControlOf(dialog, kDetailMessageControlId)) != FALSE;
    closed = ClientSizeOf(dialog);
    PressKey(dialog, VK_ESCAPE);
  });
  EXPECT_EQ(moreInformation, "Další informace");
  EXPECT_EQ(shownDetail, params.detail);
  EXPECT_EQ(first.panels.detailMessage, 37);
  EXPECT_EQ(open.cy, 71 + 45 + 37);
  EXPECT_FALSE(paneAfterClick);
  EXPECT_EQ(closed.cy, 71 + 45);  // smaller by the pane's height
  EXPECT_EQ(first.modalResult, mrCancel);
  EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey).ReadDword("DetailMessageVisible"), 0u);

  // The next dialog with details opens with the pane closed, and the switch opens it.
  SIZE reopened{};
  const Outcome second = RunDialog(params, [&](HWND dialog) {
    ClickControl(ControlOf(dialog, kDetailsButtonControlId));
    WaitUntil([&] { return ::IsWindowVisible(ControlOf(dialog, kDetailMessageControlId)) != FALSE; });
    reopened = ClientSizeOf(dialog);
    PressCloseBox(dialog);
  });
  EXPECT_EQ(second.panels.detailMessage, -1);
  EXPECT_EQ(reopened.cy, 71 + 45 + 37);
  EXPECT_TRUE(second.detailMessageVisible);
  EXPECT_EQ(RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey).ReadDword("DetailMessageVisible"), 1u);
}

TEST_F(MessageDialog, SettingsOfTheWrongTypeCountAsMissingAndAreRewritten) {
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kMessageDialogSetupKey, "DetailMessageVisible", REG_SZ,
                            std::string("1\0\0\0", 4)));
  ASSERT_TRUE(WriteRawValue(HKEY_CURRENT_USER, kMessageDialogSetupKey, "ItemTreePanelHeight", REG_BINARY,
                            std::string("\x90\x01\x00\x00", 4)));
  DialogSpec params;
  params.detail = "Podrobnosti";
  TMessDlgForm form;
  Configure(form, params);
  EXPECT_FALSE(form.DetailMessageVisible());
  EXPECT_EQ(form.ItemTreePanelHeight(), 70);
  WithDialogRobot([](HWND dialog) { PressCloseBox(dialog); }, [&] { return form.Execute(); });
  EXPECT_EQ(ValueType(HKEY_CURRENT_USER, kMessageDialogSetupKey, "DetailMessageVisible"), DWORD{REG_DWORD});
  EXPECT_EQ(ValueType(HKEY_CURRENT_USER, kMessageDialogSetupKey, "ItemTreePanelHeight"), DWORD{REG_DWORD});
  const RegistryKey stored = RegistryKey::OpenRead(HKEY_CURRENT_USER, kMessageDialogSetupKey);
  EXPECT_EQ(stored.ReadDword("DetailMessageVisible"), 0u);
  EXPECT_EQ(stored.ReadDword("ItemTreePanelHeight"), 70u);
}

TEST_F(MessageDialog, TaskLinksReplaceTheIconAndCloseWithTheirResults) {
  TMessageDlgButton first = Button("Vložit disk a pokračovat", 1, 7);
  first.Description = "Instalace pokračuje kopírováním dalších souborů.";
  TMessageDlgButton second = Button("Vybrat jinou složku", 4, 6, true);
  TMessageDlgButton stay = Button("Zobrazit protokol", 0, 9);
  DialogSpec params;
  params.type = mltConfirmation;
  params.record = Record(0, {}, {first, second, stay});

  // A click on a link, and Enter, which takes the default link when no button has it.
  std::string linkText, description;
  bool iconShown = true;
  HWND focus = reinterpret_cast<HWND>(1);
  const Outcome clicked = RunDialog(params, [&](HWND dialog) {
    linkText = WindowText(ControlOf(dialog, kTaskLinkControlId));
    description = WindowText(ControlOf(dialog, kTaskDescriptionControlId));
    iconShown = ::IsWindowVisible(ControlOf(dialog, kIconControlId)) != FALSE;
    focus = FocusOf(dialog);
    ClickControl(ControlOf(dialog, kTaskLinkControlId));
  });
  EXPECT_EQ(linkText, first.Caption);
  EXPECT_EQ(description, first.Description);
  EXPECT_FALSE(iconShown);
  EXPECT_GT(clicked.panels.taskButtons, 0);
  EXPECT_EQ(clicked.modalResult, 1);
  EXPECT_EQ(clicked.resultCode, 7);

  const Outcome entered = RunDialog(params, [&](HWND dialog) { PressKey(dialog, VK_RETURN); });
  EXPECT_EQ(entered.modalResult, 4);
  EXPECT_EQ(entered.resultCode, 6);

  // A link without a modal result records its code and leaves the dialog open;
  // so does its arrow.
  bool stillOpen = false;
  const Outcome stayed = RunDialog(params, [&](HWND dialog) {
    ClickControl(ControlOf(dialog, kTaskArrowControlId + 2));
    stillOpen = WaitUntilHandled(dialog) && ::IsWindowVisible(dialog) != FALSE;
    PressCloseBox(dialog);
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(stayed.modalResult, mrCancel);
  EXPECT_EQ(stayed.resultCode, 9);
}

TEST_F(MessageDialog, TheIconFollowsTheTypeOrNamesAStockIcon) {
  const auto iconOf = [](const TMessDlgForm& form) {
    return reinterpret_cast<HICON>(::SendMessageW(ControlOf(form.Handle(), kIconControlId), STM_GETICON, 0, 0));
  };
  DialogSpec params;
  params.type = mltWarning;
  TMessDlgForm warning;
  Configure(warning, params);
  EXPECT_EQ(iconOf(warning), ::LoadIconW(nullptr, IDI_EXCLAMATION));
  EXPECT_EQ(warning.TitleText(), "Varování");

  params.record.IconName = "#32514";
  TMessDlgForm named;
  Configure(named, params);
  EXPECT_EQ(iconOf(named), ::LoadIconW(nullptr, IDI_QUESTION));

  params.record.IconName = "NoSuchIcon";
  TMessDlgForm unknown;
  Configure(unknown, params);
  EXPECT_EQ(iconOf(unknown), nullptr);  // an empty icon area, nothing reported
}

TEST_F(MessageDialog, AnEmptyItemRangeKeepsTheFixedBorder) {
  for (const auto& range : {std::pair{-1, -1}, std::pair{5, 4}}) {
    TMessDlgForm form;
    Configure(form, {});
    form.SetItemRange(range.first, range.second);
    EXPECT_FALSE(form.ItemTreeVisible());
    EXPECT_EQ(::GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
    EXPECT_EQ(ClientSizeOf(form.Handle()).cy, 71 + 45);
  }
  // A range with items makes room for the tree below the buttons, and the user may size it.
  TMessDlgForm form;
  Configure(form, {});
  form.SetItemRange(0, 0);
  EXPECT_NE(::GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_THICKFRAME, 0);
  EXPECT_EQ(ClientSizeOf(form.Handle()).cy, 71 + 45 + 70);
}

TEST_F(MessageDialog, SeparatorLinesTakeTheColourManagersColourAndFollowAThemeChange) {
  const HWND application = Application::Instance().ApplicationWindow();
  const COLORREF savedHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
  COLORREF before = 0, after = 0, expectedAfter = 0;
  const COLORREF expectedBefore = static_cast<COLORREF>(ComputeInterfaceColors(ReadColorEnvironment())[11]);
  RunDialog({}, [&](HWND dialog) {
    const POINT onLine{10, 71};  // the line along the top of the button bar
    WaitUntil([&] { return PixelAt(dialog, onLine) == expectedBefore; }, 3000);  // painted
    before = PixelAt(dialog, onLine);
    const INT element = COLOR_HIGHLIGHT;
    const COLORREF black = RGB(0, 0, 0);
    ::SetSysColors(1, &element, &black);
    expectedAfter = static_cast<COLORREF>(ComputeInterfaceColors(ReadColorEnvironment())[11]);
    ::PostMessageW(application, WM_THEMECHANGED, 0, 0);
    WaitUntil([&] { return PixelAt(dialog, onLine) == expectedAfter; }, 3000);
    after = PixelAt(dialog, onLine);
    PressCloseBox(dialog);
  });
  const INT element = COLOR_HIGHLIGHT;
  ::SetSysColors(1, &element, &savedHighlight);
  EXPECT_EQ(before, expectedBefore);
  EXPECT_EQ(expectedAfter, RGB(125, 125, 125));  // Wine draws the classic look: the highlight colour rules
  EXPECT_EQ(after, expectedAfter);
}

}  // namespace
}  // namespace tolvar::test
