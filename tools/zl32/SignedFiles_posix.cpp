#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/FileStream.h"
#include "platform/PosixPath.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/SignedFiles.h"

namespace tolvar::zl32 {
namespace {

class PosixScratchFile final : public ScratchFile {
 public:
  PosixScratchFile(int fd, std::unique_ptr<FileStream> contents) : fd_(fd), contents_(std::move(contents)) {}
  ~PosixScratchFile() override { close(fd_); }

  Stream& Contents() override { return *contents_; }
  FileSignature Signature() override { return CheckFileSignature(fd_, {}); }

 private:
  int fd_;
  std::unique_ptr<FileStream> contents_;
};

}  // namespace

FileSignature SignatureOfPath(const std::string& path) {
  const int fd = open(ToPosixPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  const FileSignature signature = CheckFileSignature(fd, path);
  close(fd);
  return signature;
}

std::unique_ptr<ScratchFile> ScratchFile::Create(std::string& problem) {
  const char* folder = std::getenv("TMPDIR");
  std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/zl32-check-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    problem = pattern + ": " + SystemErrorText(errno);
    return nullptr;
  }
  // Nameless from the start: nothing is left behind however the process ends.
  unlink(pattern.c_str());
  const int writer = dup(fd);
  if (writer < 0) {
    problem = SystemErrorText(errno);
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixScratchFile>(fd, FileStream::Adopt(writer));
}

}  // namespace tolvar::zl32
