// A file made anew beside the one it replaces: written under a temporary name in
// the target's folder, flushed to the disk, and only then renamed over the
// target, so that the target holds either what it held before or the whole new
// file. A failure or an exception removes the temporary file, and so does an
// interruption: on POSIX SIGINT, SIGTERM and SIGHUP (unless ignored from the
// start); on Windows every end of the process before the commit (the file is
// marked for deletion while it is written). What cannot be answered (SIGKILL,
// a power cut) leaves it: its name is the target's, then ".partial-" and eight
// hex digits.
//
// Only a plain file is replaced: a folder, a device, a pipe or a link in the
// target's place is refused and left as it is.
#pragma once

#include <memory>
#include <string>

#include "platform/Stream.h"

namespace tolvar::zl32 {

class FileReplacement {
 public:
  // Checks the target and creates the temporary file beside it; nullptr, with
  // `problem` saying why, when either cannot be done. One at a time per process.
  static std::unique_ptr<FileReplacement> Begin(const std::string& target, std::string& problem);

  // Removes the temporary file unless Commit succeeded.
  virtual ~FileReplacement() = default;

  // The new contents, written from the start; a failed write keeps its reason
  // for Problem().
  virtual Stream& Contents() = 0;
  // Why the last write fell short.
  virtual std::string WriteProblem() const = 0;

  // Flushes the new file to the disk and puts it in the target's place; false,
  // with `problem`, when it cannot (the target keeps what it held).
  virtual bool Commit(std::string& problem) = 0;

  // The temporary file's path (for tests and messages).
  virtual const std::string& TemporaryPath() const = 0;
};

// "<target>.partial-" : the start of every temporary file's name.
inline constexpr char kPartialSuffix[] = ".partial-";

}  // namespace tolvar::zl32
