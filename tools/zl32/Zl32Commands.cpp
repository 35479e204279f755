#include <cstdlib>
#include <optional>

#include "Version.h"
#include "platform/PosixPath.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {

const char kUsageText[] =
    "Usage: zl32 <command> ...\n"
    "\n"
    "  zl32 pack FOLDER -o ARCHIVE [--level N] [--threads N] [--codepage N]\n"
    "      Packs everything below FOLDER into ARCHIVE (for example WIZARD.zl).\n"
    "  zl32 list ARCHIVE [--codepage N]\n"
    "      Shows the archive's tree with sizes.\n"
    "  zl32 test ARCHIVE [--codepage N]\n"
    "      Reads every member to its end and checks everything the extractor relies on.\n"
    "  zl32 extract ARCHIVE FOLDER [--codepage N]\n"
    "      Unpacks ARCHIVE into FOLDER exactly as the setup bootstrapper does.\n"
    "\n"
    "Options:\n"
    "  -o, --output ARCHIVE  the archive that pack writes (replaced if it exists)\n"
    "  --level N             compression level 0 (stored) to 9 (smallest); default 6\n"
    "  --threads N           threads that compress (the archive is the same); default one per processor\n"
    "  --codepage N          the code page of the names inside the archive; default 1250\n"
    "  -h, --help            shows this text\n"
    "  --version             shows the program's version\n"
    "\n"
    "Exit codes:\n"
    "  0   success\n"
    "  1   the archive does not exist\n"
    "  2   the archive cannot be opened\n"
    "  3   the file is not a ZLib32 archive\n"
    "  4   a file cannot be written (extract: an output file or a refused name; pack: the archive)\n"
    "  5   the archive is damaged or fails the check\n"
    "  6   the folder cannot be packed (a name the archive cannot hold, an unreadable file, nothing to pack)\n"
    "  64  the command line is wrong\n";

std::string FromWindowsArgument(const std::string& argument) {
  std::string path;
  path.reserve(argument.size());
  for (char c : argument) {
    if (c == '/') c = '\\';
    const bool leadingPair = path.size() == 1 && path[0] == '\\';
    if (c == '\\' && !path.empty() && path.back() == '\\' && !leadingPair) continue;
    path += c;
  }
  return path;
}

std::string FromArgument(const std::string& argument) {
#ifdef _WIN32
  return FromWindowsArgument(argument);
#else
  return FromPosixPath(argument);
#endif
}

std::string Shown(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return ToPosixPath(path);
#endif
}

void Error(const Output& output, const std::string& text) { std::fprintf(output.err, "zl32: %s\n", text.c_str()); }

namespace {

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

int Usage(const Output& output, const std::string& text) {
  Error(output, text + " (see zl32 --help)");
  return kExitUsage;
}

}  // namespace

int RunZl32(const std::vector<std::string>& arguments, const Output& output) {
  Options options;
  std::vector<std::string> words;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string argument = arguments[i];
    if (argument == "-h" || argument == "--help") {
      std::fputs(kUsageText, output.out);
      return kExitOk;
    }
    if (argument == "--version") {
      std::fputs("zl32 " TOLVAR_VERSION_STRING "\n", output.out);
      return kExitOk;
    }
    std::string value;
    bool takesValue = false;
    for (const char* name : {"-o", "--output", "--level", "--threads", "--codepage"}) {
      const std::string option = name;
      if (argument == option) {
        if (i + 1 == arguments.size()) return Usage(output, option + " needs a value");
        value = arguments[++i];
        takesValue = true;
      } else if (option.starts_with("--") && argument.starts_with(option + "=")) {
        value = argument.substr(option.size() + 1);
        argument = option;
        takesValue = true;
      }
    }
    if (takesValue) {
      if (argument == "-o" || argument == "--output") {
        options.output = FromArgument(value);
      } else if (argument == "--level") {
        const auto level = ParseNumber(value, 0, 9);
        if (!level) return Usage(output, "the level must be a number from 0 to 9");
        options.level = static_cast<int>(*level);
      } else if (argument == "--threads") {
        const auto threads = ParseNumber(value, 1, 1024);
        if (!threads) return Usage(output, "the number of threads must be 1 to 1024");
        options.threads = static_cast<int>(*threads);
      } else {
        const auto number = ParseNumber(value, 1, 65535);
        if (!number) return Usage(output, "the code page must be a number such as 1250");
        options.codePage = static_cast<unsigned>(*number);
      }
    } else if (argument.size() > 1 && argument[0] == '-') {
      return Usage(output, "unknown option " + argument);
    } else {
      words.push_back(argument);
    }
  }
  if (words.empty()) return Usage(output, "no command given");
  options.command = words[0];
  for (std::size_t i = 1; i < words.size(); ++i) options.operands.push_back(FromArgument(words[i]));

  struct Command {
    const char* name;
    std::size_t operands;
    int (*run)(const Options&, const CodePage&, const Output&);
  };
  static constexpr Command kCommands[] = {
      {"pack", 1, Pack}, {"list", 1, List}, {"test", 1, Test}, {"extract", 2, Extract}};
  for (const Command& command : kCommands) {
    if (options.command != command.name) continue;
    if (options.operands.size() != command.operands) {
      return Usage(output, std::string(command.name) + " takes " + (command.operands == 1 ? "one path" : "two paths"));
    }
    if (options.command == "pack" && options.output.empty()) return Usage(output, "pack needs -o ARCHIVE");
    const auto codePage = CodePageByNumber(options.codePage);
    if (!codePage) return Usage(output, "code page " + std::to_string(options.codePage) + " is not known here");
    return command.run(options, *codePage, output);
  }
  return Usage(output, "unknown command " + options.command);
}

}  // namespace tolvar::zl32
