#include "bootstrap/StartupSequence_win.h"

#include <windows.h>

#include <vector>

#include "archive/ArchiveFileSystem.h"
#include "bootstrap/CopyStep_win.h"
#include "bootstrap/DeliveredFiles.h"
#include "bootstrap/SharedFolders_win.h"
#include "bootstrap/SetupPaths.h"
#include "bootstrap/SystemInfoCtrl_win.h"
#include "bootstrap/UnpackStep_win.h"
#include "bootstrap/WizardLaunch_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/Application_win.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// Every message of the sequence: an error with the single button "Zpět".
void ShowSequenceError(TextId text) { ShowErrorMessage(LoadText(text), MsgBoxButtonBit(mbbCancel)); }

// The running program file's full path.
std::string ProgramFilePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Utf16ToUtf8(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

// The folder of the running program file, with a trailing backslash: the source
// folder that the unpack and copy steps and the wizard are given.
std::string ProgramSourceFolder() {
  const std::string program = ProgramFilePath();
  return program.empty() ? std::string() : SourceFolderOf(program);
}

}  // namespace

int RunStartupSequence() {
  Application& application = Application::Instance();
  application.SetTitle(LoadText(TextId::ApplicationTitle));

  const PathString setupFolder = FormSetupFolder(GetVendorCommonFolder());
  // The setup folder and the folders above it stay held while the run works in
  // them, until the wizard has ended.
  SharedFolderHold setupHold;
  try {
    // The result is not examined: the unpack step finds out whether the folder is there.
    ForceSharedDirectories(setupFolder, setupHold);
  } catch (const EDirectoryCreateError&) {
    ShowSequenceError(TextId::WizardCopyFailed);
    application.Terminate();
  }

  const std::string sourceFolder = ProgramSourceFolder();
  {
    // Everything the extraction writes stays held, as written, until the wizard
    // has ended; the folders below the program-files folder may have been
    // changed by anyone (DiskFileSystemBelow checks them on the way).
    const auto disk = DiskFileSystemBelow(SharedTreeRoot());
    DeliveredFiles delivered(*disk);
    if (!UnpackWizard(ArchivePathIn(sourceFolder), setupFolder, delivered)) {
      ::MessageBeep(0);
      ShowSequenceError(TextId::WizardCopyFailed);
    } else {
      if (CopyDefinitionFiles(sourceFolder, setupFolder)) {
        // The wizard check: its digest is taken while the extraction writes it
        // and compared through the hold taken right after (DeliveredFiles); its
        // signature is checked through that hold and the names that steer its
        // loading are cleared before it runs (LaunchWizard).
        const bool started = setupHold.Holds() && LaunchWizard(delivered, setupHold.Innermost(), ProgramFilePath(),
                                                               WizardCommandLine(setupFolder, sourceFolder)) != 0;
        if (!started) ShowSequenceError(TextId::WizardLaunchFailed);
      }
      application.Terminate();
    }
  }
  setupHold.Release();

  application.Run();
  return 0;
}

}  // namespace tolvar
