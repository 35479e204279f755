#include "bootstrap/SharedFolders_win.h"

#include <cstring>

#include "bootstrap/ShellFolderTable.h"
#include "bootstrap/SystemInfoCtrl_win.h"
#include "platform/Handle_win.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr DWORD kFullAccess = 0x1FFFFF;
constexpr BYTE kInheritFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
constexpr DWORD kAclSize = 28;  // 8-byte list header + 20-byte access-allowed entry

// S-1-1-0: revision 1, one sub-authority, world authority {0,0,0,0,0,1}, sub-authority 0.
struct EveryoneSid {
  BYTE revision = 1;
  BYTE subAuthorityCount = 1;
  BYTE authority[6] = {0, 0, 0, 0, 0, 1};
  DWORD subAuthority = 0;
};
static_assert(sizeof(EveryoneSid) == 12);

}  // namespace

std::unique_ptr<SharedSecurity> SharedSecurity::Build() {
  EveryoneSid everyone;
  SECURITY_DESCRIPTOR descriptor{};
  alignas(DWORD) BYTE aclBuffer[kAclSize] = {};
  auto* acl = reinterpret_cast<PACL>(aclBuffer);

  if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return nullptr;
  if (!::InitializeAcl(acl, kAclSize, ACL_REVISION)) return nullptr;
  if (!::AddAccessAllowedAce(acl, ACL_REVISION, kFullAccess, &everyone)) return nullptr;
  void* ace = nullptr;
  if (!::GetAce(acl, 0, &ace)) return nullptr;
  static_cast<ACE_HEADER*>(ace)->AceFlags |= kInheritFlags;
  if (!::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, TRUE)) return nullptr;
  if (!::SetSecurityDescriptorGroup(&descriptor, &everyone, TRUE)) return nullptr;

  // The first call reports the length the self-relative form needs.
  DWORD length = 0;
  ::MakeSelfRelativeSD(&descriptor, nullptr, &length);
  if (length == 0) return nullptr;
  std::unique_ptr<SharedSecurity> security(new SharedSecurity());
  security->selfRelative_ = std::make_unique<unsigned char[]>(length);
  std::memset(security->selfRelative_.get(), 0, length);
  if (!::MakeSelfRelativeSD(&descriptor, security->selfRelative_.get(), &length)) return nullptr;

  security->attributes_.nLength = sizeof(SECURITY_ATTRIBUTES);
  security->attributes_.lpSecurityDescriptor = security->selfRelative_.get();
  security->attributes_.bInheritHandle = TRUE;
  return security;
}

bool CreateSharedDirectory(const std::string& path) {
  // The 64-bit program runs on NT-family systems only, which all have descriptors.
  const auto security = SharedSecurity::Build();
  if (!security) return false;
  return ::CreateDirectoryW(Utf8ToUtf16(path).c_str(), security->Attributes()) != FALSE;
}

namespace {

// Creates the folder and its missing parents as they are, without checks.
bool ForceUnchecked(const std::string& path) {
  const std::string folder = ExcludeTrailingBackslash(path);
  const DWORD attributes = ::GetFileAttributesW(Utf8ToUtf16(folder).c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::string parent = ExtractFilePath(folder);
  if (CountChars(folder) < 3 || exists || parent == folder) return true;
  // A relative path ends in an empty parent: the current folder, which exists.
  if (!parent.empty() && !ForceUnchecked(parent)) return false;
  return CreateSharedDirectory(folder);
}

}  // namespace

std::string SharedTreeRoot() { return GetShellFolder(kProgramFilesFolder, true); }

bool ForceSharedDirectoriesBelow(const std::string& trustedRoot, const std::string& path, SharedFolderHold& hold) {
  if (path.empty()) throw EDirectoryCreateError();
  hold.Release();
  const std::string folder = ExcludeTrailingBackslash(path);
  if (!PathBelow(trustedRoot, folder)) {
    if (!ForceUnchecked(folder)) return false;
    if (auto held = OpenFolderChain(folder, folder)) hold.chain_ = std::move(*held);
    return true;
  }
  // The root is taken as it is; every folder below it is checked and held.
  if (!trustedRoot.empty() && !ForceUnchecked(trustedRoot)) return false;
  const auto security = SharedSecurity::Build();
  if (!security) return false;
  auto chain = OpenFolderChain(trustedRoot, folder, security->Attributes());
  if (!chain) return false;
  hold.chain_ = std::move(*chain);
  return true;
}

bool ForceSharedDirectories(const std::string& path, SharedFolderHold& hold) {
  if (path.empty()) throw EDirectoryCreateError();
  return ForceSharedDirectoriesBelow(SharedTreeRoot(), path, hold);
}

bool ForceSharedDirectories(const std::string& path) {
  SharedFolderHold hold;
  return ForceSharedDirectories(path, hold);
}

}  // namespace tolvar
