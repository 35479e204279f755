// What the archive tool's commands share: the parsed command line and how paths
// and messages reach the user.
#pragma once

#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/CodePage.h"
#include "tools/zl32/Zl32Commands.h"

namespace tolvar::zl32 {

struct Options {
  std::string command;
  std::vector<std::string> operands;  // paths in the program's form (backslashes)
  std::string output;                 // pack -o
  int level = Z_DEFAULT_COMPRESSION;
  int threads = 0;  // pack --threads; 0: one per processor
  unsigned codePage = kDefaultArchiveCodePage;
};

// A path from the command line in the program's form, and back for messages.
std::string FromArgument(const std::string& argument);
std::string Shown(const std::string& path);

// "zl32: <text>" on the error stream.
void Error(const Output& output, const std::string& text);

// The commands; `codePage` is the one the options name.
int Pack(const Options& options, const CodePage& codePage, const Output& output);
int List(const Options& options, const CodePage& codePage, const Output& output);
int Test(const Options& options, const CodePage& codePage, const Output& output);
int Extract(const Options& options, const CodePage& codePage, const Output& output);

}  // namespace tolvar::zl32
