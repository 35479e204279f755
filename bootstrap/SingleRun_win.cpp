#include "bootstrap/SingleRun_win.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

namespace tolvar {
namespace {

// The section holds the process id of the run that made it.
struct MarkerContents {
  DWORD processId;
};

// A token's SID of one kind (TokenUser or TokenOwner), as a copy.
std::vector<unsigned char> TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  ::GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !::GetTokenInformation(token, kind, buffer.data(), size, &size)) return {};
  // TOKEN_USER and TOKEN_OWNER both begin with the SID pointer.
  const PSID sid = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                     : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
  const auto* bytes = static_cast<const unsigned char*>(sid);
  return std::vector<unsigned char>(bytes, bytes + ::GetLengthSid(sid));
}

struct ProcessIdentity {
  std::vector<unsigned char> user;   // the user's SID
  std::vector<unsigned char> owner;  // who owns what the process makes (an elevated token: the administrators)
};

ProcessIdentity ThisProcess() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
  const UniqueKernelHandle token(raw);
  return {TokenSid(token.get(), TokenUser), TokenSid(token.get(), TokenOwner)};
}

std::wstring MarkerName(const std::vector<unsigned char>& userSid) {
  std::wstring name = L"Local\\Tolvar.SetupRun";
  wchar_t* text = nullptr;
  if (!userSid.empty() && ::ConvertSidToStringSidW(const_cast<unsigned char*>(userSid.data()), &text)) {
    name += L".";
    name += text;
    ::LocalFree(text);
  }
  return name;
}

// True when the existing section was made by this user (its owner is the user
// or the owner that this process's own objects get). Windows records an owner
// for every section; Wine records none, and has one user only: no owner is taken
// for this user's.
bool MadeByThisUser(HANDLE marker, const ProcessIdentity& identity) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetSecurityInfo(marker, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const auto same = [&](const std::vector<unsigned char>& sid) {
    return !sid.empty() && ::EqualSid(owner, const_cast<unsigned char*>(sid.data()));
  };
  const bool ours = !owner || same(identity.user) || same(identity.owner);
  ::LocalFree(descriptor);
  return ours;
}

DWORD ReadRunningProcess(HANDLE marker) {
  void* view = ::MapViewOfFile(marker, FILE_MAP_READ, 0, 0, sizeof(MarkerContents));
  if (!view) return 0;
  const DWORD processId = static_cast<const MarkerContents*>(view)->processId;
  ::UnmapViewOfFile(view);
  return processId;
}

void WriteThisProcess(HANDLE marker) {
  void* view = ::MapViewOfFile(marker, FILE_MAP_WRITE, 0, 0, sizeof(MarkerContents));
  if (!view) return;
  static_cast<MarkerContents*>(view)->processId = ::GetCurrentProcessId();
  ::UnmapViewOfFile(view);
}

// The first visible top-level window of the process in Z order (a message above
// its own window comes first), restored if minimised and made the foreground.
void BringToFront(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != s.processId || !::IsWindowVisible(window)) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;  // waiting for the wizard: no window to show
  if (::IsIconic(search.found)) ::ShowWindow(search.found, SW_RESTORE);
  ::SetForegroundWindow(search.found);
}

}  // namespace

std::optional<SingleRun> SingleRun::Claim() {
  const ProcessIdentity identity = ThisProcess();
  UniqueKernelHandle marker(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 sizeof(MarkerContents), MarkerName(identity.user).c_str()));
  const DWORD error = ::GetLastError();
  // No marker (the name is taken by an object we may not open): nothing to defer to.
  if (!marker) return SingleRun(UniqueKernelHandle());
  if (error != ERROR_ALREADY_EXISTS) {
    WriteThisProcess(marker.get());
    return SingleRun(std::move(marker));
  }
  if (!MadeByThisUser(marker.get(), identity)) return SingleRun(UniqueKernelHandle());
  const DWORD running = ReadRunningProcess(marker.get());
  if (running != 0 && running != ::GetCurrentProcessId()) BringToFront(running);
  return std::nullopt;
}

}  // namespace tolvar
