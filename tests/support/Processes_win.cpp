#include "tests/support/Processes_win.h"

#include <tlhelp32.h>

#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar::test {

std::vector<DWORD> ProcessIdsNamed(const std::string& fileName) {
  std::vector<DWORD> ids;
  const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return ids;
  const std::wstring wanted = Utf8ToUtf16(fileName);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::CompareStringOrdinal(entry.szExeFile, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  return ids;
}

PausedProcess::PausedProcess(DWORD processId) {
  const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    const HANDLE thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (!thread) continue;
    if (::SuspendThread(thread) == static_cast<DWORD>(-1)) {
      ::CloseHandle(thread);
      continue;
    }
    threads_.push_back(thread);
  }
}

PausedProcess::~PausedProcess() {
  for (const HANDLE thread : threads_) {
    ::ResumeThread(thread);
    ::CloseHandle(thread);
  }
}

}  // namespace tolvar::test
