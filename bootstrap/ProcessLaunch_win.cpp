#include "bootstrap/ProcessLaunch_win.h"

#include <windows.h>

#include <vector>

#include "platform/Application_win.h"
#include "platform/Handle_win.h"
#include "platform/Text.h"

namespace tolvar {
namespace {

constexpr DWORD kCreationFlags = CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;

std::uintptr_t Launch(const std::wstring* application, const std::string& commandLine, std::int32_t wait,
                      DWORD creationFlags) {
  // Show-window value set but not its flag: the new process shows its windows in
  // its own default way.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  // CreateProcessW may write into the command-line buffer.
  std::wstring command = Utf8ToUtf16(commandLine);
  std::vector<wchar_t> buffer(command.begin(), command.end());
  buffer.push_back(L'\0');
  if (!::CreateProcessW(application ? application->c_str() : nullptr, buffer.data(), nullptr, nullptr, FALSE,
                        creationFlags, nullptr, nullptr, &startup, &info)) {
    return 0;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle(info.hThread).reset();
  const auto result = reinterpret_cast<std::uintptr_t>(info.hProcess);
  if (wait == 0) return result;

  // Sleep until the process ends, a message arrives or the time is up; serve the
  // messages, so the caller's windows repaint and react meanwhile.
  Application& application_ = Application::Instance();
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
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &info.hProcess, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 + 1) {
      application_.ProcessMessages();
      continue;
    }
    break;  // the process ended, the time is up, or waiting failed
  }
  application_.ProcessMessages();
  return result;
}

}  // namespace

std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait) {
  return RunProcess(commandLine, wait, false);
}

std::uintptr_t RunProcess(const std::string& commandLine, std::int32_t wait, bool separateMachine) {
  return Launch(nullptr, commandLine, wait, kCreationFlags | (separateMachine ? CREATE_SEPARATE_WOW_VDM : 0u));
}

std::uintptr_t RunProgram(const std::string& programPath, const std::string& commandLine, std::int32_t wait) {
  const std::wstring application = Utf8ToUtf16(programPath);
  return Launch(&application, commandLine, wait, kCreationFlags);
}

}  // namespace tolvar
