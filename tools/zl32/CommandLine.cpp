#include "tools/zl32/CommandLine.h"

#include <algorithm>
#include <optional>

namespace tolvar::zl32 {
namespace {

const OptionSpec* FindOption(const CommandSpec& command, const std::string& name) {
  for (const OptionSpec* option : command.options) {
    if (name == option->name || (option->shortName && name == option->shortName)) return option;
  }
  return nullptr;
}

// Why an option that `command` does not know is refused.
std::string UnknownOption(const CommandSpec& command, const std::string& name,
                          std::span<const CommandSpec> commands) {
  for (const CommandSpec& other : commands) {
    if (FindOption(other, name)) return name + " does not apply to " + command.name;
  }
  return "unknown option " + name;
}

std::string OptionLabel(const OptionSpec& option) {
  std::string label = option.shortName ? std::string(option.shortName) + ", " + option.name : option.name;
  if (option.valueName) label += std::string(" ") + option.valueName;
  return label;
}

// Reads one option (and its value) from arguments[i]; moves i past what it used.
std::string TakeOption(const CommandSpec& command, std::span<const CommandSpec> commands,
                       const std::vector<std::string>& arguments, std::size_t& i, ParsedCommandLine& parsed,
                       std::vector<const OptionSpec*>& taken) {
  const std::string& argument = arguments[i];
  std::string name = argument;
  std::optional<std::string> value;
  const OptionSpec* option = nullptr;
  if (argument.starts_with("--")) {
    if (const auto equals = argument.find('='); equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
    }
    option = FindOption(command, name);
  } else if (!(option = FindOption(command, name)) && argument.size() > 2) {
    // A short option with its value attached: "-oWIZARD.zl".
    const OptionSpec* attached = FindOption(command, argument.substr(0, 2));
    if (attached && attached->valueName) {
      option = attached;
      name = argument.substr(0, 2);
      value = argument.substr(2);
    }
  }
  if (name == "--help" || name == "-h") {
    parsed.help = true;
    return {};
  }
  if (!option) return UnknownOption(command, name, commands);
  taken.push_back(option);
  if (!option->valueName) {
    if (value) return name + " takes no value";
    return option->take(parsed.options, {});
  }
  if (!value) {
    if (i + 1 == arguments.size()) return name + " needs a value (" + option->valueName + ")";
    value = arguments[++i];
  }
  return option->take(parsed.options, *value);
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments, std::span<const CommandSpec> commands) {
  ParsedCommandLine parsed;
  if (arguments.empty()) {
    parsed.error = "no command given";
    return parsed;
  }
  const std::string& first = arguments[0];
  if (first == "--help" || first == "-h") {
    parsed.help = true;
    return parsed;
  }
  if (first == "--version") {
    parsed.version = true;
    return parsed;
  }
  const auto command = std::find_if(commands.begin(), commands.end(),
                                    [&](const CommandSpec& candidate) { return first == candidate.name; });
  if (command == commands.end()) {
    parsed.error = first.starts_with("-") ? "the command comes first, before " + first : "unknown command " + first;
    return parsed;
  }
  parsed.command = &*command;

  bool optionsEnded = false;
  std::vector<std::string> operands;
  std::vector<const OptionSpec*> taken;
  for (std::size_t i = 1; i < arguments.size() && parsed.error.empty() && !parsed.help; ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
      parsed.error = TakeOption(*command, commands, arguments, i, parsed, taken);
    } else {
      operands.push_back(argument);
    }
  }
  if (!parsed.error.empty() || parsed.help) return parsed;

  if (operands.size() != command->operands.size()) {
    parsed.error = std::string(command->name) + " takes " + std::to_string(command->operands.size()) +
                   (command->operands.size() == 1 ? " path" : " paths") + ": " + CommandUsage(*command);
    return parsed;
  }
  for (std::size_t i = 0; i < operands.size(); ++i) {
    if (operands[i].empty()) parsed.error = std::string("the ") + command->operands[i] + " is an empty path";
    if (operands[i] == "-") {
      parsed.error = std::string("the ") + command->operands[i] +
                     " must name a file or folder, not the standard input or output (./- names one called -)";
    }
    if (!parsed.error.empty()) return parsed;
  }
  for (const OptionSpec* option : command->options) {
    if (option->required && std::find(taken.begin(), taken.end(), option) == taken.end()) {
      parsed.error = std::string(command->name) + " needs " + (option->shortName ? option->shortName : option->name) +
                     (option->valueName ? std::string(" ") + option->valueName : std::string());
      return parsed;
    }
  }
  parsed.options.command = command->name;
  parsed.options.operands = std::move(operands);
  return parsed;
}

std::string CommandUsage(const CommandSpec& command) {
  std::string usage = std::string("zl32 ") + command.name;
  for (const char* operand : command.operands) usage += std::string(" ") + operand;
  for (const OptionSpec* option : command.options) {
    std::string part = option->shortName ? option->shortName : option->name;
    if (option->valueName) part += std::string(" ") + option->valueName;
    usage += option->required ? " " + part : " [" + part + "]";
  }
  return usage;
}

std::string CommandHelp(const CommandSpec& command) {
  std::string help = "Usage: " + CommandUsage(command) + "\n\n" + command.description + "\n\nOptions:\n";
  for (const OptionSpec* option : command.options) {
    std::string label = "  " + OptionLabel(*option);
    label.resize(std::max<std::size_t>(label.size() + 2, 26), ' ');
    help += label + option->help + "\n";
  }
  help += "  -h, --help              shows this text\n";
  help += "  --                      ends the options: what follows is a path, even if it starts with -\n";
  return help;
}

std::string ToolHelp(std::span<const CommandSpec> commands, const char* tail) {
  std::string help = "Usage: zl32 <command> ...   (zl32 <command> --help tells more)\n\n";
  for (const CommandSpec& command : commands) {
    help += "  " + CommandUsage(command) + "\n      " + command.summary + "\n";
  }
  help += "  zl32 --help\n  zl32 --version\n\n";
  return help + tail;
}

}  // namespace tolvar::zl32
