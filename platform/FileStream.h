// A Stream over an operating-system file. Paths are UTF-8 with backslashes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Stream.h"

namespace tolvar {

// How other openers may share a file that this stream holds open.
enum class FileShare {
  None,       // nobody else may open the file while it is open here
  ReadWrite,  // others may read and write it meanwhile
};

class FileStream final : public Stream {
 public:
  // Opens an existing file for reading; nullptr when it cannot be opened.
  static std::unique_ptr<FileStream> OpenRead(const std::string& path, FileShare share);
  // Creates a file for reading and writing, replacing (truncating) any existing
  // file of that name; nullptr when it cannot be created.
  static std::unique_ptr<FileStream> Create(const std::string& path);
  // Takes over a file that is open already: a POSIX descriptor, or a Win32 file
  // HANDLE as an integer. The stream closes it.
  static std::unique_ptr<FileStream> Adopt(std::intptr_t nativeFile);

  ~FileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

 private:
  struct Impl;
  explicit FileStream(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tolvar
