// Entry point of Tolvar.exe. The program reads no command-line options.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "bootstrap/SingleRun_win.h"
#include "bootstrap/StartupSequence_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/DllSafety_win.h"
#include "platform/Dpi_win.h"
#include "platform/Texts.h"

namespace {

// An error that no step handles still reaches the user, in Czech: never the
// error's own (English) words. A message that cannot be shown either leaves
// only the exit code.
int ReportUnexpectedError() {
  try {
    tolvar::ShowErrorMessage(tolvar::LoadText(tolvar::TextId::UnexpectedError),
                             tolvar::MsgBoxButtonBit(tolvar::mbbCancel));
  } catch (...) {
  }
  return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // First of all: a download folder may hold planted DLLs.
  tolvar::RestrictDllSearchToSystemFolder();
  // One run per session: a second start (autorun and a double click) leaves the
  // work to the first, shows nothing and ends with 0.
  const auto run = tolvar::SingleRun::Claim();
  if (!run) return 0;
  // Normally the manifest has done this before the first line runs.
  tolvar::EnsureDpiAwareness();

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);

  try {
    return tolvar::RunStartupSequence();
  } catch (...) {
    // A window the system refuses, an error inside a message loop, ...
    return ReportUnexpectedError();
  }
}
