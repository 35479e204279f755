// Other processes as a test watches them: which ones run a program, and holding
// one still (every thread suspended) while the test changes the world under it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tolvar::test {

// The ids of the running processes whose program file is named `fileName`
// (letter case ignored), e.g. "setupostrel.exe".
std::vector<DWORD> ProcessIdsNamed(const std::string& fileName);

// Suspends every thread of a process for the life of the object.
class PausedProcess {
 public:
  explicit PausedProcess(DWORD processId);
  PausedProcess(const PausedProcess&) = delete;
  PausedProcess& operator=(const PausedProcess&) = delete;
  ~PausedProcess();

  // True when at least one thread was suspended.
  bool Paused() const noexcept { return !threads_.empty(); }

 private:
  std::vector<HANDLE> threads_;
};

}  // namespace tolvar::test
