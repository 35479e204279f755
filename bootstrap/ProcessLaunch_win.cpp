#include "bootstrap/ProcessLaunch_win.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "platform/Application_win.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr DWORD kCreationFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;

// PROC_THREAD_ATTRIBUTE_MITIGATION_POLICY, and its image-load policy bit that
// makes the loader search the system folder before the program's own.
constexpr DWORD_PTR kMitigationPolicyAttribute = 0x00020007;
constexpr DWORD64 kPreferSystem32Images = DWORD64{1} << 60;

// The start-up information with an attribute list that asks for kPreferSystem32Images.
class PreferSystem32Startup {
 public:
  PreferSystem32Startup() {
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (size == 0 || !::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    initialized_ = true;
    if (!::UpdateProcThreadAttribute(list, 0, kMitigationPolicyAttribute, &policy_, sizeof policy_, nullptr,
                                     nullptr)) {
      return;
    }
    startup_.StartupInfo.cb = sizeof startup_;
    startup_.StartupInfo.wShowWindow = SW_SHOWNORMAL;
    startup_.lpAttributeList = list;
  }
  PreferSystem32Startup(const PreferSystem32Startup&) = delete;
  PreferSystem32Startup& operator=(const PreferSystem32Startup&) = delete;
  ~PreferSystem32Startup() {
    if (initialized_) ::DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data()));
  }
  // Null when the system offered no such list.
  STARTUPINFOW* Get() { return startup_.lpAttributeList ? &startup_.StartupInfo : nullptr; }

 private:
  std::vector<unsigned char> buffer_;
  bool initialized_ = false;
  DWORD64 policy_ = kPreferSystem32Images;
  STARTUPINFOEXW startup_{};
};

bool CreateWith(const std::wstring* application, const std::string& commandLine, DWORD creationFlags,
                STARTUPINFOW* startup, PROCESS_INFORMATION& info) {
  // CreateProcessW may write into the command-line buffer.
  std::wstring command = Utf8ToUtf16(commandLine);
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  return ::CreateProcessW(application ? application->c_str() : nullptr, buffer.data(), nullptr, nullptr, FALSE,
                          creationFlags, nullptr, nullptr, startup, &info) != FALSE;
}

std::uintptr_t Launch(const std::wstring* application, const std::string& commandLine, std::int32_t wait,
                      DWORD creationFlags, bool preferSystem32 = false, const std::function<bool()>& mayRun = {}) {
  PROCESS_INFORMATION info{};
  bool created = false;
  if (mayRun) creationFlags |= CREATE_SUSPENDED;
  if (preferSystem32) {
    PreferSystem32Startup extended;
    if (STARTUPINFOW* startup = extended.Get()) {
      created = CreateWith(application, commandLine, creationFlags | EXTENDED_STARTUPINFO_PRESENT, startup, info);
    }
  }
  if (!created) {
    // Show-window value set but not its flag: the new process shows its windows
    // in its own default way.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.wShowWindow = SW_SHOWNORMAL;
    created = CreateWith(application, commandLine, creationFlags, &startup, info);
  }
  if (!created) return 0;
  if (mayRun) {
    // Not one instruction of it has run yet.
    if (!mayRun()) {
      ::TerminateProcess(info.hProcess, ERROR_ACCESS_DENIED);
      UniqueKernelHandle(info.hThread).reset();
      UniqueKernelHandle(info.hProcess).reset();
      return 0;
    }
    ::ResumeThread(info.hThread);
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle(info.hThread).reset();
  const auto result = reinterpret_cast<std::uintptr_t>(info.hProcess);
  if (wait == 0) return result;

  // Sleep until the process ends, a message arrives or the time is up; serve the
  // messages, so the caller's windows repaint and react meanwhile. An error while
  // serving them, or a wait for messages that fails, does not end the wait while
  // the process runs: it goes on without serving, and the error comes out after.
  Application& application_ = Application::Instance();
  std::exception_ptr failure;
  const auto serve = [&] {
    try {
      application_.ProcessMessages();
    } catch (...) {
      failure = std::current_exception();
    }
  };
  bool serving = true;
  const bool unlimited = wait == -1;
  const ULONGLONG limit = static_cast<std::uint32_t>(wait);
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    DWORD timeout = INFINITE;
    if (!unlimited) {
      const ULONGLONG elapsed = ::GetTickCount64() - start;
      if (elapsed >= limit) break;
      timeout = static_cast<DWORD>(limit - elapsed);
    }
    serving = serving && !failure;
    const DWORD woke = serving ? ::MsgWaitForMultipleObjectsEx(1, &info.hProcess, timeout, QS_ALLINPUT,
                                                               MWMO_INPUTAVAILABLE)
                               : ::WaitForSingleObject(info.hProcess, timeout);
    if (serving && woke == WAIT_OBJECT_0 + 1) {
      serve();
      continue;
    }
    if (serving && woke == WAIT_FAILED) {
      serving = false;
      continue;
    }
    break;  // the process ended, the time is up, or even the plain wait failed
  }
  if (!failure) serve();
  if (failure) std::rethrow_exception(failure);
  return result;
}

}  // namespace

std::uintptr_t StartProcess(const ProcessStart& start, std::int32_t wait) {
  const std::wstring application = Utf8ToUtf16(start.programPath);
  return Launch(start.programPath.empty() ? nullptr : &application, start.commandLine, wait,
                kCreationFlags | start.extraFlags);
}

std::uintptr_t StartCheckedProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait,
                                   const std::function<bool()>& mayRun) {
  const std::wstring application = Utf8ToUtf16(programPath);
  return Launch(&application, commandLine, wait, kCreationFlags, true, mayRun);
}

}  // namespace tolvar
