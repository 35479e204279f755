#include <cerrno>
#include <cstring>

#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {

int LastSystemError() { return errno; }

std::string SystemErrorText(int code) { return std::strerror(code); }

// The archive is opened with an exclusive lock (see FileStream): a lock that is
// taken fails with EWOULDBLOCK.
std::string OpenErrorText(int code) {
  return code == EWOULDBLOCK ? "another program holds it open" : SystemErrorText(code);
}

}  // namespace tolvar::zl32
