// What the archive tool's commands share: the parsed command line.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/CodePage.h"
#include "platform/Stream.h"
#include "tools/zl32/Zl32Commands.h"

namespace tolvar::zl32 {

// The options of every command; each command reads those in its table.
struct Options {
  std::string command;
  std::vector<std::string> operands;  // paths in the program's form (backslashes)
  std::string output;                 // pack -o
  int level = Z_DEFAULT_COMPRESSION;
  int threads = 0;  // pack --threads; 0: one per processor
  unsigned codePage = kDefaultArchiveCodePage;
  bool overwrite = false;             // extract --overwrite
  bool json = false;                  // list --json
  bool quiet = false;                 // -q
  std::map<std::int32_t, std::string> disks;  // check-medium --disk N=FOLDER (program form)
};

// A path from the command line in the program's form.
std::string FromArgument(const std::string& argument);

// The commands; `codePage` is the one the options name.
int Pack(const Options& options, const CodePage& codePage, const Output& output);
int List(const Options& options, const CodePage& codePage, const Output& output);
int Test(const Options& options, const CodePage& codePage, const Output& output);
int Extract(const Options& options, const CodePage& codePage, const Output& output);
int CheckMedium(const Options& options, const CodePage& codePage, const Output& output);

// Opens an archive for reading as the extractor does; on failure says why (with
// the system's reason) and sets `code` to the exit code.
std::unique_ptr<Stream> OpenArchive(const std::string& path, const Output& output, int& code);
// Opens and reads the whole archive, with a progress bar on a terminal when
// `progress` says so; nothing (with the exit code in `code`, said) when it
// cannot be opened or is not an archive.
std::optional<ArchiveInspection> InspectArchiveFile(const std::string& path, const CodePage& codePage,
                                                    const InspectOptions& inspectOptions, const Output& output,
                                                    int& code, bool progress);
// Inspection options that show paths in the platform's style.
InspectOptions ShownPaths();

// "A.zl: no such archive file" (or "a folder, not an archive file").
std::string MissingArchiveText(const std::string& path);

// The folder a Windows bootstrapper unpacks into when the program-files folder
// is longest: the 32-bit one of a 64-bit Windows.
std::string LongestWindowsSetupFolder();

}  // namespace tolvar::zl32
