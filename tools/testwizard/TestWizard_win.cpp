// Stand-in for the setup wizard. It appends what it saw to "<own name>.log"
// beside itself and exits:
//
//   run
//   commandline=<the command line exactly as received>
//   program=<its own path>
//   cwd=<its working folder>
//   started=<system time, 100 ns units since 1601>
//   ended=<the same, after the optional pause>
//   end
//
// "<own name>.cfg" beside it may hold the lines "sleep=<milliseconds>",
// "exit=<code>" and "waitfor=<path>" (it ends only once that file exists, or
// after a minute, so a test can work on the setup folder while it runs); the
// bootstrapper passes only the source folder, so behaviour cannot come from the
// arguments.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Path.h"
#include "platform/Utf.h"

namespace {

std::uint64_t Now() {
  FILETIME time{};
  ::GetSystemTimeAsFileTime(&time);
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string OwnPath() {
  wchar_t buffer[32768];
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
  return tolvar::Utf16ToUtf8(std::wstring_view(buffer, length));
}

std::string CurrentFolder() {
  wchar_t buffer[32768];
  const DWORD length = ::GetCurrentDirectoryW(32768, buffer);
  return tolvar::Utf16ToUtf8(std::wstring_view(buffer, length));
}

std::string WithoutExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of("\\:");
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::uint64_t started = Now();
  const std::string self = OwnPath();
  const std::string base = WithoutExtension(self);

  DWORD sleepMs = 0;
  int exitCode = 0;
  std::wstring waitFor;
  std::ifstream config(std::filesystem::path(tolvar::Utf8ToUtf16(base + ".cfg")));
  for (std::string line; std::getline(config, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("sleep=", 0) == 0) sleepMs = static_cast<DWORD>(std::stoul(line.substr(6)));
    if (line.rfind("exit=", 0) == 0) exitCode = std::stoi(line.substr(5));
    if (line.rfind("waitfor=", 0) == 0) waitFor = tolvar::Utf8ToUtf16(line.substr(8));
  }
  if (sleepMs) ::Sleep(sleepMs);
  for (int i = 0; !waitFor.empty() && i < 1200 && ::GetFileAttributesW(waitFor.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    ::Sleep(50);
  }

  std::ostringstream record;
  record << "run\n"
         << "commandline=" << tolvar::Utf16ToUtf8(::GetCommandLineW()) << "\n"
         << "program=" << self << "\n"
         << "cwd=" << CurrentFolder() << "\n"
         << "started=" << started << "\n"
         << "ended=" << Now() << "\n"
         << "end\n";
  std::ofstream log(std::filesystem::path(tolvar::Utf8ToUtf16(base + ".log")), std::ios::binary | std::ios::app);
  log << record.str();
  return exitCode;
}
