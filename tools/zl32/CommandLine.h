// zl32's command line: a command, then its options and operands in any order,
// "--" ending the options. Each command has a table of the options that apply
// to it, so that a new command or option is one more row; an option of another
// command is refused by name.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {

struct OptionSpec {
  const char* name;       // "--level"
  const char* shortName;  // "-o", or nullptr
  const char* valueName;  // "N"; nullptr for an option without a value
  const char* help;
  bool required;
  // Takes the value (empty for an option without one) into the options; an
  // error text when it is not acceptable.
  std::string (*take)(Options& options, const std::string& value);
};

struct CommandSpec {
  const char* name;
  std::span<const char* const> operands;  // "FOLDER": each one a path
  const char* summary;                    // one line for `zl32 --help`
  const char* description;                // for `zl32 <command> --help`
  std::span<const OptionSpec* const> options;
  int (*run)(const Options&, const CodePage&, const Output&);
};

struct ParsedCommandLine {
  const CommandSpec* command = nullptr;  // the command; null for the tool's own --help and --version
  Options options;                       // operands as given (not yet in the program's form)
  bool help = false;                     // --help: of the command, or of the tool
  bool version = false;
  std::string error;                     // a mistake, in the user's words
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments, std::span<const CommandSpec> commands);

// "zl32 pack FOLDER -o ARCHIVE [--level N] [--codepage N]"
std::string CommandUsage(const CommandSpec& command);
// The usage line, the description and every option of the command.
std::string CommandHelp(const CommandSpec& command);
// Every command with its usage and summary, then `tail` (the exit codes).
std::string ToolHelp(std::span<const CommandSpec> commands, const char* tail);

}  // namespace tolvar::zl32
