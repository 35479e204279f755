#include "bootstrap/FileCopy_win.h"

#include <windows.h>

#include <memory>

#include "archive/EntryName.h"
#include "bootstrap/FileCopy.h"
#include "bootstrap/SharedFolders_win.h"
#include "dialogs/GMessDlg_win.h"
#include "platform/Application_win.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Handle_win.h"
#include "platform/HeldFolder.h"
#include "platform/ReadAheadStream.h"
#include "platform/Texts.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// Every copy message: an error with the single button "&Zavřít"; the answer is not used.
void ShowCopyError(const std::string& text) { ShowErrorMessage(text, MsgBoxButtonBit(mbbClose)); }

std::string CannotOpenText(const std::string& path) {
  return LoadText(TextId::CopyIoErrorFile) + path + LoadText(TextId::CopyCannotOpen);
}

// The source open for reading when it is a plain file on a disk (a local disk, a
// CD, a network share); nullptr for anything else. A pipe's server must not act
// as this program (anonymous), and nothing in the device namespace is opened.
std::unique_ptr<FileStream> OpenPlainSource(const std::string& path) {
  if (IsDeviceNamespacePath(path)) return nullptr;
  UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, SECURITY_SQOS_PRESENT | SECURITY_ANONYMOUS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return nullptr;
  }
  return FileStream::Adopt(reinterpret_cast<std::intptr_t>(file.release()));
}

}  // namespace

bool SourcePresent(const std::string& path) {
  if (FileExists(path) || IsDeviceNamespacePath(path)) return true;
  // A FIFO or a device node shows no attributes, but the folder lists it. A
  // wildcard would list other names: no file bears one.
  if (path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(Utf8ToUtf16(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CopyFileWithProgress(const PathString& source, const PathString& target, CopyProgressCallback callback,
                          std::uint8_t step) {
  // The first report comes before any test, so every copy with a callback makes it.
  if (callback) callback(source, target, 0);

  // The target's folder is made (checked below the shared tree's root) and held
  // until the copy is done; a bare file name lies in the current folder.
  const std::string folder = ExtractFilePath(target.str());
  SharedFolderHold hold;
  std::unique_ptr<HeldFolder> currentFolder;
  if (!folder.empty() && !ForceSharedDirectories(folder, hold)) {
    ShowCopyError(LoadText(TextId::CopyFolderError) + folder);
    return false;
  }
  if (folder.empty()) currentFolder = HeldFolder::OpenTrusted("");
  const HeldFolder* targetFolder = hold.Holds() ? &hold.Innermost() : currentFolder.get();

  if (!SourcePresent(source)) return false;  // the only silent failure

  std::unique_ptr<FileStream> input = OpenPlainSource(source);
  if (!input) {
    ShowCopyError(CannotOpenText(source));
    return false;
  }
  // The size the copy must deliver; one that cannot be told is no size at all.
  const std::int64_t size = input->Size();

  // The target is made as a new file: whatever bears its name (a link, another
  // name of some file) is removed, never written through; a read-only copy of an
  // earlier run gives way too. A name that is not one plain name is not made.
  const std::string name = ExtractFileName(target.str());
  std::unique_ptr<FileStream> output =
      targetFolder && IsSafeEntryName(name) ? targetFolder->CreateNewFile(name, ReadOnlyFile::Replace) : nullptr;
  if (!output) {
    input.reset();  // closed before the user is told
    ShowCopyError(CannotOpenText(target));
    return false;
  }

  BlockCopyProgress progress;
  if (callback) progress.report = [&](std::uint8_t percent) { callback(source, target, percent); };
  progress.step = step;
  // The caller's windows are served between blocks, about once per frame.
  progress.afterBlock = [] { Application::Instance().ProcessMessagesIfDue(); };
  // The medium is read a chunk at a time; the loop still moves 2048-byte blocks.
  ReadAheadStream medium(*input);
  const BlockCopyResult result =
      size < 0 ? BlockCopyResult::ReadFailed : CopyBlocks(medium, *output, size, progress);
  input.reset();
  output.reset();

  // A short write, a failed read, and a source that ended early or grew: the
  // target is not the source, and the user hears so.
  if (result != BlockCopyResult::Complete) {
    ShowCopyError(LoadText(TextId::CopyIoErrorFile) + source.str() + LoadText(TextId::CopyFailed));
    return false;
  }
  return true;
}

}  // namespace tolvar
