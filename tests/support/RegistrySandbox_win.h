// A registry of the test's own: for the life of the object the process's
// HKEY_CURRENT_USER (and, when asked, HKEY_LOCAL_MACHINE) lead to fresh, empty
// scratch keys, so that a test reads and writes none of the user's or the
// machine's real settings. The scratch keys live below the real
// HKEY_CURRENT_USER\Software\TolvarTests\Sandbox <process id> and are deleted
// whole at the end. The redirection holds for every thread of the process, and
// for this process only: a program the test starts sees the real registry.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/Handle_win.h"

namespace tolvar::test {

class RegistrySandbox {
 public:
  explicit RegistrySandbox(std::initializer_list<HKEY> roots = {HKEY_CURRENT_USER});
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;
  ~RegistrySandbox();

  // True when every root asked for is redirected.
  bool Active() const noexcept { return active_; }
  // Where the scratch keys are, below the real HKEY_CURRENT_USER.
  const std::string& Location() const noexcept { return location_; }

 private:
  std::string location_;
  std::vector<HKEY> redirected_;
  std::vector<UniqueRegKey> scratch_;
  bool active_ = false;
};

}  // namespace tolvar::test
