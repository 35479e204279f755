#include "tests/support/HostCpu_win.h"

#include <windows.h>

#include <sstream>
#include <vector>

#include "platform/FileStream.h"
#include "platform/Utf.h"

namespace tolvar::test {
namespace {

constexpr double kMillisecondsPerTick = 10.0;  // the kernel's USER_HZ of 100

// /proc files report a size of 0, so read until the stream runs dry.
std::optional<std::string> ReadProcFile(const std::string& path) {
  auto file = FileStream::OpenRead(path, FileShare::ReadWrite);
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  return text;
}

// utime and stime are the 14th and 15th fields; the command name in the second
// field is in parentheses and may contain blanks.
std::optional<double> CpuFromStat(const std::string& stat) {
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(stat.substr(close + 2));
  std::vector<std::string> values;
  for (std::string field; fields >> field;) values.push_back(field);
  if (values.size() < 13) return std::nullopt;
  return (std::stod(values[11]) + std::stod(values[12])) * kMillisecondsPerTick;
}

template <typename Match>
std::optional<double> SumMatching(Match match) {
  std::optional<double> total;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  do {
    const std::string name = Utf16ToUtf8(found.cFileName);
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto commandLine = ReadProcFile("Z:\\proc\\" + name + "\\cmdline");
    if (!commandLine || !match(name, *commandLine)) continue;
    const auto stat = ReadProcFile("Z:\\proc\\" + name + "\\stat");
    if (!stat) continue;
    if (const auto cpu = CpuFromStat(*stat)) total = total.value_or(0.0) + *cpu;
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return total;
}

}  // namespace

std::optional<double> HostCpuMilliseconds(const std::string& needle) {
  return SumMatching(
      [&](const std::string&, const std::string& commandLine) { return commandLine.find(needle) != std::string::npos; });
}

std::optional<double> WineServerCpuMilliseconds() {
  // Other builds may run Wine servers of their own; ours was started with our
  // prefix in its environment, which Wine passes on to us as well.
  wchar_t prefix[4096];
  const DWORD length = ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, 4096);
  if (length == 0 || length >= 4096) return std::nullopt;
  const std::string wanted = "WINEPREFIX=" + Utf16ToUtf8(std::wstring_view(prefix, length));
  return SumMatching([&](const std::string& pid, const std::string& commandLine) {
    const std::string program = commandLine.substr(0, commandLine.find('\0'));
    if (program.find("wineserver") == std::string::npos) return false;
    const auto environment = ReadProcFile("Z:\\proc\\" + pid + "\\environ");
    return environment && (environment->find(wanted + '\0') != std::string::npos ||
                           environment->ends_with(wanted));
  });
}

}  // namespace tolvar::test
