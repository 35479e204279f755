// zl32's commands and their options, as tables (see CommandLine.h).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "Version.h"
#include "bootstrap/SetupPaths.h"
#include "bootstrap/ShellFolderTable.h"
#include "platform/PosixPath.h"
#include "tools/zl32/CommandLine.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {

const char kExitCodesText[] =
    "Exit codes:\n"
    "  0   success\n"
    "  1   the archive does not exist\n"
    "  2   the archive cannot be opened\n"
    "  3   the file is not a ZLib32 archive\n"
    "  4   a file cannot be written (extract: an output file, a file that exists already, a refused name;\n"
    "      pack: the archive, or what bears its name is not a plain file)\n"
    "  5   the archive is damaged or fails the check\n"
    "  6   the folder cannot be packed (every name the archive cannot hold is listed; nothing is written)\n"
    "  7   check-medium: Tolvar would not get through the medium, or a part of it could not be checked\n"
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

std::string LongestWindowsSetupFolder() {
  return FormSetupFolder(std::string("C:\\Program Files (x86)\\") + kVendorSuffix).str();
}

namespace {

std::optional<long> ParseNumber(const std::string& text, long low, long high) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) return std::nullopt;
  return value;
}

const OptionSpec kOutput{
    "--output", "-o", "ARCHIVE",
    "the archive to write; an archive of that name is replaced once the new one is complete", true,
    [](Options& options, const std::string& value) -> std::string {
      if (value.empty()) return "-o names no archive: the name is empty";
      if (value == "-") return "pack writes a file, not the standard output: name one (./- names one called -)";
      options.output = FromArgument(value);
      return {};
    }};

const OptionSpec kLevel{"--level", nullptr, "N", "compression level 0 (stored) to 9 (smallest); default 6", false,
                        [](Options& options, const std::string& value) -> std::string {
                          const auto level = ParseNumber(value, 0, 9);
                          if (!level) return "the level must be a number from 0 to 9, not \"" + value + "\"";
                          options.level = static_cast<int>(*level);
                          return {};
                        }};

const OptionSpec kThreads{"--threads", nullptr, "N",
                          "threads that compress, 1 to 1024 (the archive is the same); default one per processor",
                          false, [](Options& options, const std::string& value) -> std::string {
                            const auto threads = ParseNumber(value, 1, 1024);
                            if (!threads) return "the number of threads must be 1 to 1024, not \"" + value + "\"";
                            options.threads = static_cast<int>(*threads);
                            return {};
                          }};

const OptionSpec kCodePage{"--codepage", nullptr, "N",
                           "the code page of the names inside the archive; default 1250", false,
                           [](Options& options, const std::string& value) -> std::string {
                             const auto number = ParseNumber(value, 1, 65535);
                             if (!number) return "the code page must be a number such as 1250, not \"" + value + "\"";
                             options.codePage = static_cast<unsigned>(*number);
                             return {};
                           }};

const OptionSpec kOverwrite{"--overwrite", nullptr, nullptr,
                            "replaces files of the archive's names that exist in FOLDER (without it, they are kept "
                            "and nothing is extracted)",
                            false, [](Options& options, const std::string&) -> std::string {
                              options.overwrite = true;
                              return {};
                            }};

const OptionSpec kJson{"--json", nullptr, nullptr,
                       "the tree as JSON for scripts: a stable shape with a version (see the manual page)", false,
                       [](Options& options, const std::string&) -> std::string {
                         options.json = true;
                         return {};
                       }};

const OptionSpec kQuiet{"--quiet", "-q", nullptr,
                        "says nothing but errors: no report, warning or progress; the exit code tells the outcome",
                        false, [](Options& options, const std::string&) -> std::string {
                          options.quiet = true;
                          return {};
                        }};

const OptionSpec kDisk{"--disk", nullptr, "N=FOLDER",
                       "where disk N of the medium is (the disk tolvar.def's SrcDisk asks for); may be repeated",
                       false, [](Options& options, const std::string& value) -> std::string {
                         const auto equals = value.find('=');
                         const auto number = ParseNumber(value.substr(0, std::min(equals, value.size())), INT32_MIN,
                                                         INT32_MAX);
                         if (equals == std::string::npos || !number || equals + 1 == value.size()) {
                           return "--disk wants a disk number and its folder, such as --disk 2=/media/disk2, not \"" +
                                  value + "\"";
                         }
                         if (*number == 1) return "disk 1 is the medium itself (FOLDER), not a --disk";
                         const auto disk = static_cast<std::int32_t>(*number);
                         if (!options.disks.emplace(disk, FromArgument(value.substr(equals + 1))).second) {
                           return "disk " + std::to_string(disk) + " is given twice";
                         }
                         return {};
                       }};

constexpr const char* kPackOperands[] = {"FOLDER"};
constexpr const char* kArchiveOperand[] = {"ARCHIVE"};
constexpr const char* kExtractOperands[] = {"ARCHIVE", "FOLDER"};
constexpr const char* kMediumOperand[] = {"FOLDER"};
const OptionSpec* const kPackOptions[] = {&kOutput, &kLevel, &kThreads, &kCodePage, &kQuiet};
const OptionSpec* const kListOptions[] = {&kCodePage, &kJson, &kQuiet};
const OptionSpec* const kTestOptions[] = {&kCodePage, &kQuiet};
const OptionSpec* const kExtractOptions[] = {&kCodePage, &kOverwrite, &kQuiet};
const OptionSpec* const kMediumOptions[] = {&kDisk, &kCodePage, &kQuiet};

const CommandSpec kCommands[] = {
    {"pack", kPackOperands, "Packs everything below FOLDER into ARCHIVE (for example WIZARD.zl).",
     "Packs everything below FOLDER into ARCHIVE: in each folder its files, then its subfolders, names in\n"
     "byte order, one zlib member per file. The whole tree is checked first; every name an archive cannot\n"
     "hold or that Windows would take for another one of its folder (letter case does not count there)\n"
     "is listed, and nothing is written. The archive is written beside ARCHIVE under a temporary name\n"
     "(ARCHIVE.partial-...) and put in its place only when it is complete and on the disk; a pack that\n"
     "fails or is interrupted leaves ARCHIVE as it was. ARCHIVE must be a plain file or not exist yet.",
     kPackOptions, Pack},
    {"list", kArchiveOperand, "Shows the archive's tree with sizes.",
     "Shows the archive's tree: each file with its size and packed size, each folder, and the totals;\n"
     "with --json, the same for scripts.",
     kListOptions, List},
    {"test", kArchiveOperand, "Reads every member to its end and checks everything the extractor relies on.",
     "Reads every member to its end and checks everything the extractor relies on, and that Windows\n"
     "keeps every name apart (letter case does not count there). Warns about paths too long to be\n"
     "unpacked below the setup folder on Windows.",
     kTestOptions, Test},
    {"extract", kExtractOperands, "Unpacks ARCHIVE into FOLDER exactly as the setup bootstrapper does.",
     "Unpacks ARCHIVE into FOLDER exactly as the setup bootstrapper does; missing parents of FOLDER are\n"
     "created. Files that exist in FOLDER under names the archive holds are kept: then nothing is\n"
     "extracted and they are listed, unless --overwrite is given. FOLDER must not be empty nor a root\n"
     "folder.",
     kExtractOptions, Extract},
    {"check-medium", kMediumOperand, "Checks a medium folder as Tolvar.exe will meet it.",
     "Checks a medium folder as Tolvar.exe will meet it: Tolvar.exe is there and a window program for\n"
     "x86-64; WIZARD.zl passes test and holds setupostrel.exe at its top; tolvar.def is read as Tolvar\n"
     "reads it (in --codepage), every source it lists is on the medium, or on the disk SrcDisk names\n"
     "(--disk N=FOLDER), and every copy's name is a safe name of its own; when Tolvar.exe is signed,\n"
     "the wizard is signed with the same certificate. Every finding is said on a line of its own,\n"
     "naming its file.",
     kMediumOptions, CheckMedium},
};

int Usage(const Output& output, const ParsedCommandLine& parsed) {
  const std::string help = parsed.command ? std::string("zl32 ") + parsed.command->name + " --help" : "zl32 --help";
  Error(output, parsed.error + " (see " + help + ")");
  return kExitUsage;
}

}  // namespace

std::string UsageText() { return ToolHelp(kCommands, kExitCodesText); }

int RunZl32(const std::vector<std::string>& arguments, const Output& output) {
  ParsedCommandLine parsed = ParseCommandLine(arguments, kCommands);
  if (!parsed.error.empty()) return Usage(output, parsed);
  if (parsed.help) {
    const std::string help = parsed.command ? CommandHelp(*parsed.command) : UsageText();
    std::fputs(help.c_str(), output.out);
    return kExitOk;
  }
  if (parsed.version) {
    std::fputs("zl32 " TOLVAR_VERSION_STRING "\n", output.out);
    return kExitOk;
  }
  Options& options = parsed.options;
  for (std::string& operand : options.operands) operand = FromArgument(operand);
  Output commandOutput = output;
  commandOutput.quiet = options.quiet;
  const auto codePage = CodePageByNumber(options.codePage);
  if (!codePage) {
    parsed.error = "code page " + std::to_string(options.codePage) + " is not known here";
    return Usage(output, parsed);
  }
  try {
    return parsed.command->run(options, *codePage, commandOutput);
  } catch (const std::exception& error) {
    // Whatever the command made is released on the way here (a half-written
    // archive removed).
    Error(commandOutput, std::string("stopped: ") + error.what());
    return kExitWriteError;
  }
}

}  // namespace tolvar::zl32
