#include "tools/zl32/Messages.h"

#include "archive/EntryName.h"

namespace tolvar::zl32 {

void Error(const Output& output, const std::string& text) { std::fprintf(output.err, "zl32: %s\n", text.c_str()); }

void Warning(const Output& output, const std::string& text) {
  std::fprintf(output.err, "zl32: warning: %s\n", text.c_str());
}

char ShownSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string Shown(const std::string& path) {
  std::string shown;
  for (std::size_t start = 0;;) {
    const std::size_t end = path.find('\\', start);
    shown += PrintableName(std::string_view(path).substr(start, end - start), true);
    if (end == std::string::npos) return shown;
    shown += ShownSeparator();
    start = end + 1;
  }
}

std::string Counted(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace tolvar::zl32
