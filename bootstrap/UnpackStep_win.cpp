// The unpack step: the wizard archive is extracted into the setup folder while
// the install progress window shows how far it has come.
#include "bootstrap/UnpackStep_win.h"

#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "bootstrap/InstProgress_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/Texts.h"

namespace tolvar {

bool UnpackWizard(const PathString& archivePath, const PathString& targetFolder, ArchiveFileSystem& files) {
  std::uint8_t result = ArchiveOk;
  {
    TInstProgressForm form;  // destroyed on every way out of this block
    form.Show();
    try {
      result = ExtractArchive({files, SystemAnsiCodePage()}, archivePath, targetFolder, form.Callbacks());
    } catch (const EZLibError&) {
      // Damaged archive data: the window goes first, then the user hears why.
      form.Destroy();
      ShowErrorMessage(LoadText(TextId::ArchiveDamaged), MsgBoxButtonBit(mbbCancel));
      return false;
    }
    const PathString text(ArchiveResultText(result));
    // The message stands above the progress window, which is still shown with
    // the bar where the last chunk left it.
    form.ShowPendingSteps();
    if (!text.empty()) ShowErrorMessage(text, MsgBoxButtonBit(mbbCancel));
  }
  return result == ArchiveOk;
}

}  // namespace tolvar
