// POSIX: O_EXCL creates the temporary file, fsync writes it through, rename(2)
// replaces the target's name in one step. The signal handler may only call what
// is safe in a handler: unlink the file and die of the signal.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "platform/PosixPath.h"
#include "tools/zl32/FileReplacement.h"
#include "tools/zl32/Messages.h"

namespace tolvar::zl32 {
namespace {

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file the handler removes; null when there is none.
std::atomic<const char*> g_temporary{nullptr};

extern "C" void RemoveTemporaryAndDie(int signal) {
  if (const char* path = g_temporary.load()) unlink(path);
  // SA_RESETHAND has restored the default action: the signal ends the process
  // once the handler returns, as it would have without the handler.
  raise(signal);
}

// Blocks the signals above while alive, so that the temporary file's name and
// the handler's knowledge of it change together.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kCleanedSignals) sigaddset(&set, signal);
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t saved_;
};

// What bears the target's name, when it is anything but a plain file.
std::string NotAPlainFile(const struct stat& info) {
  if (S_ISLNK(info.st_mode)) return "a symbolic link";
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (S_ISCHR(info.st_mode)) return "a character device";
  if (S_ISBLK(info.st_mode)) return "a block device";
  if (S_ISFIFO(info.st_mode)) return "a named pipe";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  if (!S_ISREG(info.st_mode)) return "not a plain file";
  return {};
}

// The target as it is now: missing, or a plain file that may be written (its
// mode in `mode`); otherwise why it cannot be replaced.
std::string CheckTarget(const std::string& target, mode_t& mode, bool& exists) {
  struct stat info {};
  exists = lstat(target.c_str(), &info) == 0;
  if (!exists) return errno == ENOENT ? std::string() : "cannot be written: " + SystemErrorText(errno);
  if (const std::string what = NotAPlainFile(info); !what.empty()) {
    return "cannot be replaced: it is " + what + ", not a plain file (it is left as it is)";
  }
  if (access(target.c_str(), W_OK) != 0) return "cannot be replaced: " + SystemErrorText(errno);
  mode = info.st_mode & 07777;
  return {};
}

class PosixReplacement final : public FileReplacement, private Stream {
 public:
  PosixReplacement(std::string target, std::string temporary, int fd, bool keepMode, mode_t mode)
      : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd), keepMode_(keepMode), mode_(mode) {}

  ~PosixReplacement() override {
    if (fd_ >= 0) close(fd_);
    SignalsHeld held;
    if (g_temporary.load() == temporary_.c_str()) {
      unlink(temporary_.c_str());
      g_temporary = nullptr;
    }
  }

  Stream& Contents() override { return *this; }
  std::string WriteProblem() const override {
    return writeError_ ? SystemErrorText(writeError_) : "the write fell short";
  }
  const std::string& TemporaryPath() const override { return temporary_; }

  bool Commit(std::string& problem) override {
    if ((keepMode_ && fchmod(fd_, mode_) != 0) || fsync(fd_) != 0) {
      problem = "cannot be written to the disk: " + SystemErrorText(errno);
      return false;
    }
    const int closed = close(fd_);
    fd_ = -1;
    if (closed != 0) {
      problem = "cannot be written to the disk: " + SystemErrorText(errno);
      return false;
    }
    // Someone may have put something else in the target's place meanwhile.
    mode_t mode = 0;
    bool exists = false;
    if (problem = CheckTarget(target_, mode, exists); !problem.empty()) return false;
    {
      SignalsHeld held;
      if (rename(temporary_.c_str(), target_.c_str()) != 0) {
        problem = "cannot be replaced: " + SystemErrorText(errno);
        return false;
      }
      g_temporary = nullptr;
    }
    // The new name itself reaches the disk with its folder.
    const auto slash = target_.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
      fsync(dir);
      close(dir);
    }
    return true;
  }

 private:
  std::size_t Read(void*, std::size_t) override { return 0; }

  std::size_t Write(const void* buffer, std::size_t count) override {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
      const ssize_t put = write(fd_, in + total, count - total);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        writeError_ = put < 0 ? errno : ENOSPC;
        break;
      }
      total += static_cast<std::size_t>(put);
    }
    return total;
  }

  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    const off_t result = lseek(fd_, static_cast<off_t>(offset), whence);
    return result < 0 ? -1 : static_cast<std::int64_t>(result);
  }

  std::string target_;
  std::string temporary_;
  int fd_;
  bool keepMode_;
  mode_t mode_;
  int writeError_ = 0;
};

void InstallHandlers() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryAndDie;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (const int signal : kCleanedSignals) {
    // A signal ignored from the start (nohup, a background job) stays ignored.
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& target, std::string& problem) {
  const std::string path = ToPosixPath(target);
  mode_t mode = 0;
  bool exists = false;
  if (problem = CheckTarget(path, mode, exists); !problem.empty()) return nullptr;

  const auto seed = static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08lx", (seed + attempt * 7919ul + static_cast<unsigned long>(getpid())) &
                                                      0xFFFFFFFFul);
    std::string temporary = path + kPartialSuffix + suffix;
    std::unique_ptr<PosixReplacement> replacement;
    {
      SignalsHeld held;
      const int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0) {
        if (errno == EEXIST) continue;
        problem = "cannot be created: " + SystemErrorText(errno);
        return nullptr;
      }
      replacement = std::make_unique<PosixReplacement>(path, std::move(temporary), fd, exists, mode);
      InstallHandlers();
      g_temporary = replacement->TemporaryPath().c_str();
    }
    return replacement;
  }
  problem = "cannot be created: no free temporary name beside it";
  return nullptr;
}

}  // namespace tolvar::zl32
