// The wizard check, from the unpacked bytes to the started process:
//  1. its digest is taken while the extraction writes it (DeliveredFiles'
//     DigestingStream);
//  2. it is held from right after its writing until the run ends, and read
//     back through the hold against that digest (DeliveredFiles::FinishFile),
//     so nobody can change it afterwards;
//  3. its signature is checked through the held handle and compared with this
//     program's own (here, with platform/Authenticode);
//  4. the loader-steering names beside it are removed, the process is made
//     suspended from the held file's path, the names are checked once more and
//     only then does it run (here, with StartCheckedProgram).
#include "bootstrap/WizardLaunch_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "bootstrap/ProcessLaunch_win.h"
#include "bootstrap/SetupPaths.h"
#include "platform/Authenticode.h"
#include "platform/Handle_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// A program's own DLL redirection folder or file, its side-by-side manifest,
// and its configuration file (side-by-side and .NET): each steers what Windows
// loads into the program.
constexpr const char* kLoaderSuffixes[] = {".local", ".manifest", ".config"};

FileSignature SignatureOfFile(const std::string& path) {
  const UniqueFileHandle file(::CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  return CheckFileSignature(reinterpret_cast<std::intptr_t>(file.get()), path);
}

// A validly signed program lends its publisher's name (the elevation prompt
// shows it): it starts only a wizard signed with its own certificate. One
// without a signature that holds lends none (Windows names no publisher for
// it, and a system that cannot check its signature cannot check the wizard's
// either): it starts what it unpacked.
bool MayStartFor(const std::string& ownProgramPath, const HeldFile& wizard) {
  const FileSignature own = SignatureOfFile(ownProgramPath);
  return own.state != SignatureState::Valid || SameSigner(own, CheckFileSignature(wizard.nativeFile, wizard.path));
}

}  // namespace

std::uintptr_t LaunchWizard(const DeliveredFiles& delivered, const HeldFolder& setupFolder,
                            const std::string& ownProgramPath, const std::string& commandLine) {
  const HeldFile* wizard = delivered.HeldAtTop(kWizardFileName);
  if (!wizard || !MayStartFor(ownProgramPath, *wizard)) return 0;

  std::vector<std::string> planted;  // loader-steering names the archive did not deliver
  for (const char* suffix : kLoaderSuffixes) {
    const std::string name = std::string(kWizardFileName) + suffix;
    if (!delivered.DeliveredAtTop(name)) planted.push_back(name);
  }
  for (const std::string& name : planted) {
    if (!setupFolder.RemoveName(name)) return 0;
  }
  // Planted again meanwhile: the manifest has been read already, so the process
  // must not run at all.
  const auto noneIsBack = [&] {
    return std::none_of(planted.begin(), planted.end(),
                        [&](const std::string& name) { return setupFolder.HasName(name); });
  };
  return StartCheckedProgram(wizard->path, commandLine, -1, noneIsBack);
}

}  // namespace tolvar
