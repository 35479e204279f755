// Windows: CREATE_NEW makes the temporary file and marks it for deletion at
// once, so that the system removes it whenever the process ends before the
// commit, however it ends (Ctrl+C, a closed console, TerminateProcess; under
// Wine also a host signal). The commit takes the mark back, writes the file
// through (FlushFileBuffers) and puts it in place with MoveFileExW
// (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "platform/Handle_win.h"
#include "platform/Utf.h"
#include "tools/zl32/FileReplacement.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {
namespace {

// Held while a commit takes the file out of the system's hands.
SRWLOCK g_commit = SRWLOCK_INIT;

// Ctrl+C, Ctrl+Break, a closed console: end as the system would, with the
// interrupted program's exit code, but not in the middle of a commit.
BOOL WINAPI EndOnInterrupt(DWORD) {
  ::AcquireSRWLockExclusive(&g_commit);
  ::ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

// Why the target cannot be replaced; empty when it is missing or a plain file.
std::string CheckTarget(const std::wstring& target) {
  std::string what;
  // The name's own attributes show a link (Wine shows a host's folder link only
  // here); the handle shows a device or a pipe, which a name may stand for.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) what = "a link";
  else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) what = "a folder";
  UniqueFileHandle file(::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (what.empty() && !file) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};
    return "cannot be written: " + SystemErrorText(static_cast<int>(error));
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (what.empty()) {
    const DWORD type = ::GetFileType(file.get());
    if (type == FILE_TYPE_CHAR) what = "a device";
    else if (type == FILE_TYPE_PIPE) what = "a pipe";
    else if (type != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info)) what = "not a plain file";
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) what = "a link";
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) what = "a folder";
  }
  if (!what.empty()) return "cannot be replaced: it is " + what + ", not a plain file (it is left as it is)";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
    return "cannot be replaced: " + SystemErrorText(ERROR_ACCESS_DENIED) + " (the file is read-only)";
  }
  return {};
}

class WindowsReplacement final : public FileReplacement, private Stream {
 public:
  WindowsReplacement(std::wstring target, std::string temporary, HANDLE file)
      : target_(std::move(target)), temporary_(std::move(temporary)), file_(file) {}

  ~WindowsReplacement() override {
    if (!committed_) {
      file_.reset();  // the marked file goes with its last handle
      ::DeleteFileW(Utf8ToUtf16(temporary_).c_str());
    }
    ::SetConsoleCtrlHandler(EndOnInterrupt, FALSE);
  }

  Stream& Contents() override { return *this; }
  std::string WriteProblem() const override {
    return writeError_ ? SystemErrorText(static_cast<int>(writeError_)) : "the write fell short";
  }
  const std::string& TemporaryPath() const override { return temporary_; }

  bool Commit(std::string& problem) override {
    if (problem = CheckTarget(target_); !problem.empty()) return false;
    ::AcquireSRWLockExclusive(&g_commit);
    DWORD error = ERROR_SUCCESS;
    if (!MarkForDeletion(file_.get(), false) || !::FlushFileBuffers(file_.get())) {
      error = ::GetLastError();
      MarkForDeletion(file_.get(), true);
      problem = "cannot be written to the disk: " + SystemErrorText(static_cast<int>(error));
    } else {
      file_.reset();
      committed_ = ::MoveFileExW(Utf8ToUtf16(temporary_).c_str(), target_.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
      if (!committed_) problem = "cannot be replaced: " + SystemErrorText(LastSystemError());
    }
    ::ReleaseSRWLockExclusive(&g_commit);
    return committed_;
  }

 private:
  std::size_t Read(void*, std::size_t) override { return 0; }

  std::size_t Write(const void* buffer, std::size_t count) override {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
      const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - total, 1u << 30));
      DWORD put = 0;
      if (!::WriteFile(file_.get(), in + total, ask, &put, nullptr) || put == 0) {
        writeError_ = put == 0 && ::GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : ::GetLastError();
        break;
      }
      total += put;
    }
    return total;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                         : origin == SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER result{};
    if (!::SetFilePointerEx(file_.get(), distance, &result, method)) return -1;
    return result.QuadPart;
  }

  std::wstring target_;
  std::string temporary_;
  UniqueFileHandle file_;
  bool committed_ = false;
  DWORD writeError_ = 0;
};

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& target, std::string& problem) {
  const std::wstring wideTarget = Utf8ToUtf16(target);
  if (problem = CheckTarget(wideTarget); !problem.empty()) return nullptr;

  const ULONGLONG seed = ::GetTickCount64() ^ (static_cast<ULONGLONG>(::GetCurrentProcessId()) << 16);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08lx",
                  static_cast<unsigned long>((seed + attempt * 7919ull) & 0xFFFFFFFFull));
    std::string temporary = target + kPartialSuffix + suffix;
    // Nobody else may open it; DELETE lets it carry the mark for deletion.
    UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(temporary).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      problem = "cannot be created: " + SystemErrorText(static_cast<int>(error));
      return nullptr;
    }
    // Without the mark (a file system that does not take it) a failure still
    // removes the file (the destructor); an interrupted process leaves it.
    MarkForDeletion(file.get(), true);
    ::SetConsoleCtrlHandler(EndOnInterrupt, TRUE);
    return std::make_unique<WindowsReplacement>(wideTarget, std::move(temporary), file.release());
  }
  problem = "cannot be created: no free temporary name beside it";
  return nullptr;
}

}  // namespace tolvar::zl32
