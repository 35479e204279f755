// A showcase of the message dialog: opens one dialog of the scenario named on
// the command line (without one, every scenario in turn) and ends with the
// modal result in the low 16 bits of its exit code and the dialog's second
// result in the high 16 bits. The tests drive it as a separate process and take
// its screenshots; `dialogdemo list` names the scenarios.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/GMessDlg_win.h"
#include "dialogs/MessageDialogContent_win.h"
#include "messages/MessageLogCtrl_win.h"
#include "platform/Application_win.h"
#include "platform/DllSafety_win.h"
#include "platform/Dpi_win.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

using Result = std::uint32_t;

Result Combined(std::uint16_t modalResult, std::uint16_t resultCode) {
  return modalResult | (static_cast<Result>(resultCode) << 16);
}

// Related messages for the item tree: level, text and detail of each item.
struct DemoItem {
  std::int32_t level;
  const char* text;
  const char* detail;
};

// A record shown through its own dialog, so that the second result is known too;
// with items, below its buttons a tree of them.
Result ShowRecord(TMessageType type, const std::string& title, const std::string& text, const std::string& detail,
                  const TDialogRec& record, bool sameWidth = true, const std::vector<DemoItem>& items = {}) {
  TMessDlgForm dialog;
  MessageDialogContent content{.type = type, .title = title, .text = text, .detail = detail,
                               .buttsSameWidth = sameWidth, .record = record};
  if (!items.empty()) {
    content.itemReader = [&items](std::int32_t index, bool wantDetail, TDialogItem& item) {
      const DemoItem& demo = items.at(static_cast<std::size_t>(index));
      item.Level = demo.level;
      item.Text = demo.text;
      if (wantDetail) item.Detail = demo.detail;
    };
    content.firstItem = 0;
    content.lastItem = static_cast<std::int32_t>(items.size()) - 1;
  }
  ConfigureMessageDialog(dialog, content);
  const std::uint16_t modalResult = dialog.Execute();
  return Combined(modalResult, dialog.ResultCode());
}

TMessageDlgButton Button(const char* caption, std::uint16_t modalResult, std::uint16_t resultCode,
                         const char* description = "", bool isDefault = false, bool isCancel = false) {
  TMessageDlgButton button;
  button.Caption = caption;
  button.Description = description;
  button.ModalResult = modalResult;
  button.ResultCode = resultCode;
  button.IsDefault = isDefault;
  button.IsCancel = isCancel;
  return button;
}

const char kLongDetail[] =
    "Soubor WIZARD.zl nebyl ve zdrojové složce nalezen. Zkontrolujte, zda je instalační médium "
    "vloženo a čitelné, a spusťte instalaci znovu.\r\nZdrojová složka: D:\\\r\nCílová složka: "
    "C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\";

// A copy from the second disk that went wrong, as a tree: the copy itself with
// the two failed files below it, then the check of the target folder with a
// finding two levels down (a "Skupina" node stands for the level between).
const std::vector<DemoItem>& CopyReportItems() {
  static const std::vector<DemoItem> items = {
      {0, "Kopírování souborů z disku 2", "Z disku 2 se nepodařilo zkopírovat 2 soubory z 5."},
      {1, "setup2.cab: soubor nebyl nalezen",
       "Soubor D:\\DISK2\\setup2.cab na vloženém disku není. Vložte disk 2 a zvolte Obnovit."},
      {1, "data.cab: chyba při čtení",
       "Čtení souboru D:\\DISK2\\data.cab skončilo po 1 048 576 bajtech chybou zařízení. Disk může být "
       "poškrábaný nebo znečištěný: otřete jej měkkým hadříkem od středu k okraji a zkuste to znovu. Pokud chyba "
       "přetrvává, požádejte dodavatele o náhradní disk."},
      {0, "Kontrola cílové složky",
       "Cílová složka C:\\Program Files\\VORLAK SOFTWARE\\Common Files\\Ostrel\\Setup\\ existuje a je "
       "zapisovatelná."},
      {2, "Na disku C: zbývá 120 MB", "Pro dokončení instalace stačí 48 MB volného místa."},
  };
  return items;
}

struct Scenario {
  const char* name;
  std::function<Result()> run;
};

const std::vector<Scenario>& Scenarios() {
  static const std::vector<Scenario> scenarios = {
      {"error",
       [] { return ShowMessageBox(LoadText(TextId::ArchiveNotFound), mbtError, MsgBoxButtonBit(mbbCancel), 0, -1, mbbOK); }},
      {"warning",
       [] {
         return ShowMessageBox(LoadText(TextId::WizardCopyFailed), mbtWarning,
                               MsgBoxButtonBit(mbbRetry) | MsgBoxButtonBit(mbbIgnore) | MsgBoxButtonBit(mbbAbort),
                               0, -1, mbbOK);
       }},
      {"information",
       [] { return ShowMessageBox(LoadText(TextId::PreparingWizard), mbtInformation, MsgBoxButtonBit(mbbOK), 0, -1, mbbOK); }},
      {"confirmation",
       [] {
         return ShowMessageBox("Vložte disk 2", mbtConfirmation, MsgBoxButtonBit(mbbOK) | MsgBoxButtonBit(mbbCancel), 0,
                               -1, mbbOK);
       }},
      {"close", [] { return ShowMessageBox(LoadText(TextId::WizardLaunchFailed), mbtError, 0, 0, -1, mbbOK); }},
      {"no-buttons", [] { return ShowMessageBox(LoadText(TextId::ArchiveBadFormat), mbtError, 0x0800, 0, -1, mbbOK); }},
      {"details",
       [] {
         return ShowMessageBoxEx({}, LoadText(TextId::ArchiveNotFound), kLongDetail, mbtError,
                                 MsgBoxButtonBit(mbbCancel), 0, -1, mbbOK);
       }},
      {"countdown",
       [] {
         return ShowMessageBox(LoadText(TextId::PreparingWizard), mbtInformation, MsgBoxButtonBit(mbbOK), 0, 10000,
                               mbbOK);
       }},
      {"tasks",
       [] {
         TDialogRec record;
         const TMessageDlgButton tasks[] = {
             Button("Vložit disk a pokračovat", 1, 6, "Instalace pokračuje kopírováním dalších souborů.", true),
             Button("Vybrat jinou složku", 4, 6, "Soubory se načtou z jiné složky nebo ze sítě."),
             Button("Ukončit instalaci", 3, 2, "Již zkopírované soubory zůstanou na disku."),
         };
         BuildDialogRec(record, true, 1u << sbkBack, {}, tasks, 0, -1, 0, -1, {}, {}, 1);
         return ShowRecord(mltConfirmation, "Chybí instalační disk", "Soubor setup2.cab nebyl nalezen.", kLongDetail,
                           record);
       }},
      {"custom",
       [] {
         TDialogRec record;
         const TMessageDlgButton custom[] = {
             Button("Přepsat všechny soubory", 8, 6, "", true),
             Button("Přeskočit", 5, 7),
             Button("Zpět", 2, 2, "", false, true),
         };
         BuildDialogRec(record, true, 0, custom, {}, 0, -1, 0, -1, {}, "#32514", 1);
         return ShowRecord(mltWarning, {}, "Cílová složka již obsahuje soubory průvodce instalací.", {}, record, false);
       }},
      {"custom-countdown",
       [] {
         TDialogRec record;
         const TMessageDlgButton custom[] = {Button("Spustit", 1, 6, "", true), Button("Počkat", 7, 7)};
         BuildDialogRec(record, true, 1u << sbkBack, custom, {}, 0, 5000, kCustomButtonKind, -1, "Instalace Ledgero",
                        {}, 1);
         return ShowRecord(mltInformation, {}, LoadText(TextId::PreparingWizard), {}, record);
       }},
      {"tree",
       [] {
         TDialogRec record;
         BuildDialogRec(record, true, (1u << sbkBack) | (1u << sbkRetry), {}, {}, 0, -1, 0, -1, {}, {}, 1);
         return ShowRecord(mltError, "Kopírování se nezdařilo",
                           "Některé soubory průvodce instalací se nepodařilo zkopírovat. Vyberte položku "
                           "a v Dalších informacích uvidíte podrobnosti.",
                           "Vyberte položku seznamu, jejíž podrobnosti chcete vidět.", record, true,
                           CopyReportItems());
       }},
      {"long",
       [] {
         std::string text = "Při kopírování souborů průvodce instalací nastala chyba. ";
         text += "Zkontrolujte volné místo na disku a oprávnění k zápisu do cílové složky. ";
         text += "Pokud chyba přetrvává, zavřete ostatní programy a spusťte instalaci znovu.";
         return ShowMessageBoxEx("Kopírování se nezdařilo", text, kLongDetail, mbtError,
                                 MsgBoxButtonBit(mbbRetry) | MsgBoxButtonBit(mbbCancel) | MsgBoxButtonBit(mbbHelp), 0,
                                 -1, mbbOK);
       }},
  };
  return scenarios;
}

}  // namespace
}  // namespace tolvar

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  tolvar::RestrictDllSearchToSystemFolder();
  tolvar::EnsureDpiAwareness();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  tolvar::Application::Instance().SetTitle(tolvar::LoadText(tolvar::TextId::ApplicationTitle));

  const std::string wanted = tolvar::Utf16ToUtf8(commandLine ? commandLine : L"");
  if (wanted == "list") {
    std::string names;
    for (const auto& scenario : tolvar::Scenarios()) names += std::string(scenario.name) + "\n";
    ::MessageBoxW(nullptr, tolvar::Utf8ToUtf16(names).c_str(), L"dialogdemo", MB_OK);
    return 0;
  }
  tolvar::Result last = 0;
  for (const auto& scenario : tolvar::Scenarios()) {
    if (wanted.empty() || wanted == scenario.name) last = scenario.run();
  }
  return static_cast<int>(last);
}
