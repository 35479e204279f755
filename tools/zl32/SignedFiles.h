// The archive tool's access to signatures (platform/Authenticode.h): of a file
// on the disk, and of bytes that exist only inside an archive, written to a
// temporary file for the check, since the check reads a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Authenticode.h"
#include "platform/Stream.h"

namespace tolvar::zl32 {

// The signature of the file at `path`, checked through a handle opened for
// reading; Invalid when it cannot be opened.
FileSignature SignatureOfPath(const std::string& path);

// A file in the system's temporary folder that nobody else uses, removed when
// it is destroyed (on Windows by the system also when the process ends first).
class ScratchFile {
 public:
  // Nothing, with `problem` saying why, when none can be made.
  static std::unique_ptr<ScratchFile> Create(std::string& problem);
  virtual ~ScratchFile() = default;

  // Writes and reads the file.
  virtual Stream& Contents() = 0;
  // Its signature, as far as it has been written.
  virtual FileSignature Signature() = 0;
};

}  // namespace tolvar::zl32
