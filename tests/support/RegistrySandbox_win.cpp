#include "tests/support/RegistrySandbox_win.h"

#include "platform/Registry_win.h"
#include "platform/Utf.h"

namespace tolvar::test {
namespace {

const char* ScratchNameOf(HKEY root) {
  if (root == HKEY_CURRENT_USER) return "CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "LOCAL_MACHINE";
  return nullptr;
}

}  // namespace

RegistrySandbox::RegistrySandbox(std::initializer_list<HKEY> roots)
    : location_("Software\\TolvarTests\\Sandbox " + std::to_string(::GetCurrentProcessId())) {
  DeleteKeyTree(HKEY_CURRENT_USER, location_);  // left behind by a run that crashed
  // Every scratch key is made while HKEY_CURRENT_USER is still the real one.
  for (const HKEY root : roots) {
    const char* name = ScratchNameOf(root);
    if (!name) return;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToUtf16(location_ + "\\" + name).c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    scratch_.emplace_back(key);
  }
  std::size_t index = 0;
  for (const HKEY root : roots) {
    if (::RegOverridePredefKey(root, scratch_[index++].get()) != ERROR_SUCCESS) return;
    redirected_.push_back(root);
  }
  active_ = true;
}

RegistrySandbox::~RegistrySandbox() {
  for (const HKEY root : redirected_) ::RegOverridePredefKey(root, nullptr);
  scratch_.clear();
  DeleteKeyTree(HKEY_CURRENT_USER, location_);
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TolvarTests");  // only when nothing else is left in it
}

}  // namespace tolvar::test
