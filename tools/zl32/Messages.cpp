#include "tools/zl32/Messages.h"

#include "archive/EntryName.h"

namespace tolvar::zl32 {

namespace {

// What the report said so far comes first where both streams go to one place.
void Say(const Output& output, const char* kind, const std::string& text) {
  std::fflush(output.out);
  std::fprintf(output.err, "zl32: %s%s\n", kind, text.c_str());
}

}  // namespace

void Error(const Output& output, const std::string& text) { Say(output, "", text); }

void Warning(const Output& output, const std::string& text) {
  if (!output.quiet) Say(output, "warning: ", text);
}

void Note(const Output& output, const std::string& text) {
  if (!output.quiet) Say(output, "note: ", text);
}

void Report(const Output& output, const std::string& line) {
  if (!output.quiet) std::fprintf(output.out, "%s\n", line.c_str());
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
