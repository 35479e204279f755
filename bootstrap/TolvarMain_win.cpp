// Entry point of Tolvar.exe. The program reads no command-line options.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "bootstrap/StartupSequence_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/DllSafety_win.h"
#include "platform/Dpi_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // First of all: a download folder may hold planted DLLs.
  tolvar::RestrictDllSearchToSystemFolder();
  // Normally the manifest has done this before the first line runs.
  tolvar::EnsureDpiAwareness();

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);

  try {
    return tolvar::RunStartupSequence();
  } catch (const std::exception& error) {
    // An error no step handles (such as damaged archive data) still reaches the
    // user as a message rather than ending the program silently.
    tolvar::ShowErrorMessage(error.what(), tolvar::MsgBoxButtonBit(tolvar::mbbCancel));
    return 1;
  }
}
