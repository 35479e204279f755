#include <windows.h>

#include "platform/FileStream.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/SignedFiles.h"

namespace tolvar::zl32 {
namespace {

class WindowsScratchFile final : public ScratchFile {
 public:
  WindowsScratchFile(UniqueFileHandle file, std::string path, std::unique_ptr<FileStream> contents)
      : file_(std::move(file)), path_(std::move(path)), contents_(std::move(contents)) {}

  Stream& Contents() override { return *contents_; }
  FileSignature Signature() override {
    return CheckFileSignature(reinterpret_cast<std::intptr_t>(file_.get()), path_);
  }

 private:
  UniqueFileHandle file_;
  std::string path_;
  std::unique_ptr<FileStream> contents_;
};

}  // namespace

FileSignature SignatureOfPath(const std::string& path) {
  const UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  return CheckFileSignature(reinterpret_cast<std::intptr_t>(file.get()), path);
}

std::unique_ptr<ScratchFile> ScratchFile::Create(std::string& problem) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  if (!::GetTempPathW(MAX_PATH + 1, folder) || !::GetTempFileNameW(folder, L"zl3", 0, name)) {
    problem = "no temporary file: " + SystemErrorText(static_cast<int>(::GetLastError()));
    return nullptr;
  }
  UniqueFileHandle file(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
  // Marked for deletion at once: the system removes it however the process ends.
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  HANDLE writer = nullptr;
  if (!file ||
      !::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition) ||
      !::DuplicateHandle(::GetCurrentProcess(), file.get(), ::GetCurrentProcess(), &writer, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    problem = Utf16ToUtf8(name) + ": " + SystemErrorText(static_cast<int>(::GetLastError()));
    file.reset();
    ::DeleteFileW(name);  // the empty file the name was made with
    return nullptr;
  }
  return std::make_unique<WindowsScratchFile>(std::move(file), Utf16ToUtf8(name),
                                              FileStream::Adopt(reinterpret_cast<std::intptr_t>(writer)));
}

}  // namespace tolvar::zl32
