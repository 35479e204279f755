// zl32 extract ARCHIVE FOLDER: the bootstrapper's own extractor, with a progress
// bar on a terminal.
#include <algorithm>

#include "archive/ArchiveFileSystem.h"
#include "archive/ZLibCtrl.h"
#include "archive/ZStream.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

// A one-line bar redrawn in place: "[#####.....]  50%".
class TerminalBar {
 public:
  explicit TerminalBar(std::FILE* terminal) : terminal_(terminal) {}

  void Start(std::int32_t total) { total_ = std::max<std::int32_t>(total, 0); }
  void Step() {
    ++done_;
    const int percent = total_ > 0 ? static_cast<int>(std::min<std::int64_t>(100, done_ * 100 / total_)) : 100;
    if (percent != shown_) Draw(percent);
  }
  void Finish() {
    Draw(100);
    std::fputc('\n', terminal_);
  }
  // Ends a bar that was drawn, so that a message starts on a line of its own.
  void Abandon() {
    if (shown_ >= 0) std::fputc('\n', terminal_);
  }

 private:
  void Draw(int percent) {
    shown_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::fprintf(terminal_, "\r[%s%s] %3d%%", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent);
    std::fflush(terminal_);
  }

  std::FILE* terminal_;
  std::int32_t total_ = 0;
  std::int64_t done_ = 0;
  int shown_ = -1;
};

}  // namespace

int Extract(const Options& options, const CodePage& codePage, const Output& output) {
  const std::string& archivePath = options.operands[0];
  const std::string& target = options.operands[1];
  TerminalBar bar(output.err);
  int files = 0;
  ExtractCallbacks callbacks;
  callbacks.OnExtractFile = [&](Stream&, std::int32_t, const std::string&, const std::string&) { ++files; };
  if (output.terminalProgress) {
    callbacks.OnExtractStart = [&](Stream&, std::int32_t total) { bar.Start(total); };
    callbacks.OnExtractChunk = [&](Stream&, bool&) { bar.Step(); };
    callbacks.OnExtractFinish = [&](Stream&) { bar.Finish(); };
  }

  std::string failure;
  std::uint8_t result = ArchiveOk;
  try {
    result = ExtractArchive({DiskFileSystem(), codePage, &failure}, archivePath, target, callbacks);
  } catch (const EZLibError& error) {
    bar.Abandon();
    Error(output, Shown(archivePath) + ": the archive is damaged (" + error.what() + ")");
    return kExitDamaged;
  }
  switch (result) {
    case ArchiveOk:
      std::fprintf(output.out, "%s: %d files extracted into %s\n", Shown(archivePath).c_str(), files,
                   Shown(target).c_str());
      return kExitOk;
    case ArchiveNotFound: Error(output, Shown(archivePath) + ": no such archive file"); break;
    case ArchiveOpenError: Error(output, Shown(archivePath) + ": cannot be opened"); break;
    case ArchiveBadFormat: Error(output, Shown(archivePath) + ": not a ZLib32 archive"); break;
    default:
      bar.Abandon();
      Error(output, Shown(archivePath) + ": extraction stopped: " + Shown(failure));
      break;
  }
  return result;
}

}  // namespace tolvar::zl32
