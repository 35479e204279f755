#include "tests/support/HostLinks_win.h"

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/Utf.h"

namespace tolvar::test {
namespace {

using UnixFileNameFn = char*(CDECL*)(LPCWSTR);

UnixFileNameFn UnixFileNameFunction() {
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  return kernel ? reinterpret_cast<UnixFileNameFn>(
                      reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")))
                : nullptr;
}

std::string UnixPath(const std::string& windowsPath) {
  const UnixFileNameFn toUnix = UnixFileNameFunction();
  if (!toUnix) return {};
  char* name = toUnix(Utf8ToUtf16(windowsPath).c_str());
  if (!name) return {};
  std::string result = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

// Wine starts a host program from CreateProcess, but its handle does not tell
// when it ends: the caller waits for the result instead. Nor are the handles it
// hands back real (Wine 8 leaves the thread handle as whatever lay on the stack,
// and closing that closed this program's registry root once): they stay open.
bool RunHost(const std::wstring& program, const std::vector<std::string>& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  for (const std::string& argument : arguments) commandLine += L" \"" + Utf8ToUtf16(argument) + L"\"";
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return false;
  }
  return true;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 100; ++i) {
    if (done()) return true;
    ::Sleep(50);
  }
  return done();
}

bool NameExists(const std::string& path) {
  return ::GetFileAttributesW(Utf8ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool RunsUnderWine() { return UnixFileNameFunction() != nullptr; }

bool MakeHostSymlink(const std::string& target, const std::string& link) {
  const std::string unixTarget = UnixPath(target);
  const std::string unixLink = UnixPath(link);
  if (unixTarget.empty() || unixLink.empty()) return false;
  return RunHost(L"Z:\\usr\\bin\\ln", {"-s", unixTarget, unixLink}) && WaitUntil([&] { return NameExists(link); });
}

bool RemoveHostLink(const std::string& link) {
  const std::string unixLink = UnixPath(link);
  if (unixLink.empty()) return false;
  return RunHost(L"Z:\\usr\\bin\\rm", {"-f", unixLink}) && WaitUntil([&] { return !NameExists(link); });
}

// A FIFO or device node shows no attributes under Wine, but its folder lists it.
bool Listed(const std::string& path) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(Utf8ToUtf16(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

bool MakeHostFifo(const std::string& path) {
  const std::string unixPath = UnixPath(path);
  return !unixPath.empty() && RunHost(L"Z:\\usr\\bin\\mkfifo", {unixPath}) && WaitUntil([&] { return Listed(path); });
}

bool MakeHostNullDevice(const std::string& path) {
  const std::string unixPath = UnixPath(path);
  return !unixPath.empty() && RunHost(L"Z:\\usr\\bin\\mknod", {unixPath, "c", "1", "3"}) &&
         WaitUntil([&] { return Listed(path); });
}

bool MoveOnHost(const std::string& from, const std::string& to) {
  const std::string unixFrom = UnixPath(from);
  const std::string unixTo = UnixPath(to);
  if (unixFrom.empty() || unixTo.empty()) return false;
  return RunHost(L"Z:\\usr\\bin\\mv", {"-T", unixFrom, unixTo}) &&
         WaitUntil([&] { return !NameExists(from) && NameExists(to); });
}

}  // namespace tolvar::test
