// Entry point of zl32, the archive tool: passes the command line on as UTF-8.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/zl32/Zl32Commands.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include "platform/Utf.h"

int wmain(int argc, wchar_t** argv) {
  // Messages are UTF-8; let the console show them as such.
  const UINT savedCodePage = ::GetConsoleOutputCP();
  ::SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(tolvar::Utf16ToUtf8(argv[i]));
  tolvar::zl32::Output output;
  output.terminalProgress = _isatty(_fileno(stderr)) != 0;
  const int code = tolvar::zl32::RunZl32(arguments, output);
  if (savedCodePage) ::SetConsoleOutputCP(savedCodePage);
  return code;
}
#else
#include <signal.h>
#include <unistd.h>

int main(int argc, char** argv) {
  // A file-size limit (ulimit -f) then fails a write like a full disk, which is
  // answered, instead of ending the process with a half-written file.
  signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  tolvar::zl32::Output output;
  output.terminalProgress = isatty(fileno(stderr)) != 0;
  return tolvar::zl32::RunZl32(arguments, output);
}
#endif
