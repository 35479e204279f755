#include "bootstrap/StartupSequence_win.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "bootstrap/CopyStep_win.h"
#include "bootstrap/ProcessLaunch_win.h"
#include "bootstrap/SharedFolders_win.h"
#include "bootstrap/SetupPaths.h"
#include "bootstrap/SystemInfoCtrl_win.h"
#include "bootstrap/UnpackStep_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/Application_win.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// Every message of the sequence: an error with the single button "Zpět".
void ShowSequenceError(TextId text) { ShowErrorMessage(LoadText(text), MsgBoxButtonBit(mbbCancel)); }

}  // namespace

std::string ProgramSourceFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return SourceFolderOf(Utf16ToUtf8(std::wstring_view(buffer.data(), length)));
    buffer.resize(buffer.size() * 2);
  }
}

int RunStartupSequence() {
  Application& application = Application::Instance();
  application.SetTitle(LoadText(TextId::ApplicationTitle));

  const PathString setupFolder = FormSetupFolder(GetVendorCommonFolder());
  // The setup folder and the folders above it stay held while the run works in
  // them, until the wizard's process exists.
  SharedFolderHold setupHold;
  try {
    // The result is not examined: the unpack step finds out whether the folder is there.
    ForceSharedDirectories(setupFolder, setupHold);
  } catch (const EDirectoryCreateError&) {
    ShowSequenceError(TextId::WizardCopyFailed);
    application.Terminate();
  }

  const std::string sourceFolder = ProgramSourceFolder();
  std::optional<Sha256Digest> wizardDigest;
  if (!UnpackWizard(ArchivePathIn(sourceFolder), setupFolder, wizardDigest)) {
    ::MessageBeep(0);
    ShowSequenceError(TextId::WizardCopyFailed);
  } else {
    // The wizard that runs is the one just unpacked: held from here until its
    // process exists, so nobody can change it during the copy step.
    std::optional<HeldProgram> wizard;
    if (wizardDigest) wizard = HeldProgram::Hold(WizardProgramPath(setupFolder), *wizardDigest);
    if (CopyDefinitionFiles()) {
      const bool started =
          wizard && RunHeldProgram(std::move(*wizard), WizardCommandLine(setupFolder, sourceFolder), -1,
                                   [&] { setupHold.Release(); }) != 0;
      if (!started) ShowSequenceError(TextId::WizardLaunchFailed);
    }
    application.Terminate();
  }
  setupHold.Release();

  application.Run();
  return 0;
}

}  // namespace tolvar
