// The two programs of a medium: Tolvar.exe, which the user starts, and the
// wizard inside WIZARD.zl, which Tolvar.exe starts only under the rule of
// WizardLaunch_win.cpp: when Tolvar.exe carries a valid signature, the wizard
// must carry a valid one made with the same certificate.
#include <algorithm>

#include "archive/ArchiveFormat.h"
#include "archive/WindowsNames.h"
#include "archive/ZLibFce.h"
#include "bootstrap/SetupPaths.h"
#include "platform/Der.h"
#include "platform/FileStream.h"
#include "platform/Path.h"
#include "platform/ProgramImage.h"
#include "platform/Sha256.h"
#include "platform/Texts.h"
#include "tools/zl32/MediumCheck.h"
#include "tools/zl32/MediumFiles.h"
#include "tools/zl32/Messages.h"
#include "tools/zl32/SignedFiles.h"
#include "tools/zl32/Zl32Internal.h"

namespace tolvar::zl32 {
namespace {

constexpr char kBootstrapperName[] = "Tolvar.exe";

std::string Quoted(TextId text) { return "\"" + LoadText(text) + "\""; }

bool SameAsciiName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::optional<ProgramImage> ImageOf(Stream& file) {
  return ReadProgramImage([&](std::uint64_t offset, void* buffer, std::size_t size) {
    try {
      if (file.Seek(static_cast<std::int64_t>(offset), SeekOrigin::Begin) != static_cast<std::int64_t>(offset)) {
        return false;
      }
      file.ReadBuffer(buffer, size);
      return true;
    } catch (const tolvar::Error&) {
      return false;
    }
  });
}

std::string Certificate(const FileSignature& signature) {
  Sha256 sha;
  sha.Update(signature.signerCertificate.data(), signature.signerCertificate.size());
  const std::string name = CertificateCommonName(signature.signerCertificate);
  return (name.empty() ? std::string() : "\"" + name + "\", ") + "certificate SHA-256 " + ToHex(sha.Finish());
}

std::string Described(const FileSignature& signature) {
  switch (signature.state) {
    case SignatureState::Unsigned: return "not signed";
    case SignatureState::Valid: return "signed by " + Certificate(signature);
    case SignatureState::Invalid: break;
  }
  return "signed, but the signature does not hold (changed after signing, damaged, or not made with SHA-256)";
}

// Says why a looked-up program is not there to check; false then.
bool Present(const MediumLookup& lookup, const std::string& what, MediumReport& report) {
  switch (lookup.result) {
    case MediumLookup::Result::File: return true;
    case MediumLookup::Result::Missing: report.Finding(lookup.path, "missing: " + what); break;
    case MediumLookup::Result::Ambiguous:
      report.Finding(lookup.path, "the folder holds " + lookup.detail + ", names Windows takes for one");
      break;
    case MediumLookup::Result::Unreadable: report.Finding(lookup.path, "cannot be read: " + lookup.detail); break;
    case MediumLookup::Result::Folder: report.Finding(lookup.path, "a folder, not a file"); break;
    case MediumLookup::Result::Other: report.Finding(lookup.path, lookup.detail + ", not a file"); break;
  }
  return false;
}

// The wizard as Tolvar.exe unpacks it: a program that x86-64 Windows starts,
// signed as a signed Tolvar.exe demands.
void CheckWizard(const std::string& archivePath, const ArchiveListEntry& wizard,
                 const std::optional<FileSignature>& bootstrapper, MediumReport& report) {
  const std::string launchFails = Quoted(TextId::WizardLaunchFailed);
  std::string problem;
  const auto scratch = ScratchFile::Create(problem);
  int code = 0;
  const auto archive = scratch ? OpenArchive(archivePath, report.Out(), code) : nullptr;
  if (!scratch) report.Finding(archivePath, std::string(kWizardFileName) + " cannot be checked: " + problem);
  if (!archive) {
    if (scratch) report.Count();  // said by OpenArchive
    return;
  }
  try {
    archive->SetPosition(wizard.dataOffset);
    CopyDecompressed(*archive, scratch->Contents(), {}, wizard.recordSize);
  } catch (const tolvar::Error& error) {
    report.Finding(archivePath, std::string(kWizardFileName) + " cannot be unpacked to be checked: " + error.what());
    return;
  }

  const std::string name = std::string(kWizardFileName) + ": ";
  const auto image = ImageOf(scratch->Contents());
  if (!image || !image->IsProgram()) {
    report.Finding(archivePath, name + "not a Windows program: Tolvar cannot start it and shows " + launchFails);
    return;
  }
  if (image->machine != ProgramImage::kMachineX64 && image->machine != ProgramImage::kMachineX86) {
    report.Finding(archivePath, name + "a program for " + MachineName(image->machine) +
                                    ", which x86-64 Windows does not start: Tolvar shows " + launchFails);
  }

  const FileSignature signature = scratch->Signature();
  if (!bootstrapper || bootstrapper->state != SignatureState::Valid) {
    report.Fine(archivePath, name + Described(signature) +
                                 (bootstrapper ? "; " + std::string(kBootstrapperName) +
                                                     " has no valid signature, so it starts the wizard unchecked"
                                               : std::string()));
    return;
  }
  if (SameSigner(*bootstrapper, signature)) {
    report.Fine(archivePath, name + Described(signature) + ", as " + kBootstrapperName + ": it starts the wizard");
    return;
  }
  std::string why;
  switch (signature.state) {
    case SignatureState::Unsigned: why = "not signed"; break;
    case SignatureState::Invalid: why = Described(signature); break;
    case SignatureState::Valid: why = "signed with another certificate (" + Certificate(signature) + ")"; break;
  }
  report.Finding(archivePath, name + why + ": the signed " + kBootstrapperName +
                                  " starts only a wizard signed with its own certificate, and shows " + launchFails);
}

}  // namespace

std::optional<FileSignature> CheckBootstrapper(const std::string& medium, MediumReport& report) {
  const MediumLookup lookup = FindOnMedium(medium, {kBootstrapperName});
  if (!Present(lookup, "the medium has no program to start", report)) return std::nullopt;
  const std::string& path = lookup.path;
  const auto file = FileStream::OpenRead(path, FileShare::ReadWrite);
  const auto image = file ? ImageOf(*file) : std::nullopt;
  if (!image) {
    report.Finding(path, file ? "not a Windows program (it has no PE header)" : "cannot be opened");
    return std::nullopt;
  }
  bool fits = true;
  const auto misfit = [&](const std::string& what) {
    report.Finding(path, what + ", not a window program for x86-64 as Tolvar.exe is");
    fits = false;
  };
  if (!image->IsProgram()) misfit("a library (DLL) or an object");
  if (image->machine != ProgramImage::kMachineX64) misfit("a program for " + MachineName(image->machine));
  if (image->subsystem != ProgramImage::kSubsystemGui) misfit(SubsystemName(image->subsystem));

  const FileSignature signature = SignatureOfPath(path);
  if (signature.state == SignatureState::Invalid) {
    report.Warn(path, "its signature does not hold (changed after signing, damaged, or not made with SHA-256): "
                      "Windows names no publisher for it, and it starts any wizard");
  } else {
    report.Fine(path, (fits ? "a window program for x86-64, " : std::string()) + Described(signature));
  }
  return signature;
}

ArchiveTop CheckArchive(const std::string& medium, const CodePage& codePage,
                        const std::optional<FileSignature>& bootstrapper, MediumReport& report) {
  ArchiveTop top;
  const MediumLookup lookup = FindOnMedium(medium, {kArchiveFileName});
  if (!Present(lookup, "Tolvar shows " + Quoted(TextId::ArchiveNotFound) + " and starts no wizard", report)) {
    return top;
  }
  const std::string& path = lookup.path;
  InspectOptions options = ShownPaths();
  options.windowsTarget = LongestWindowsSetupFolder();
  int code = 0;
  const auto inspection = InspectArchiveFile(path, codePage, options, report.Out(), code, true);
  if (!inspection) {
    report.Count();  // said by InspectArchiveFile
    return top;
  }
  for (const std::string& note : inspection->notes) Note(report.Out(), Shown(path) + ": " + note);
  for (const std::string& warning : inspection->warnings) report.Warn(path, warning);
  for (const std::string& fault : inspection->faults) report.Finding(path, fault);

  const ArchiveListEntry* wizard = nullptr;
  const ArchiveListEntry* deeper = nullptr;
  bool folderAtTop = false;
  for (const ArchiveListEntry& entry : inspection->entries) {
    if (entry.path.empty() || (entry.kind != kEntryFile && entry.kind != kEntryEnterFolder)) continue;
    const std::string name = ExtractFileName(entry.path);
    if (entry.depth == 0) top.items.try_emplace(WindowsNameKey(name), ArchiveTop::Item{name, entry.kind != kEntryFile});
    if (!SameAsciiName(name, kWizardFileName)) continue;
    if (entry.depth == 0 && entry.kind == kEntryFile && !wizard) wizard = &entry;
    if (entry.depth == 0 && entry.kind == kEntryEnterFolder) folderAtTop = true;
    if (entry.depth > 0 && entry.kind == kEntryFile && !deeper) deeper = &entry;
  }
  if (inspection->Sound()) {
    Report(report.Out(), Shown(path) + ": passes zl32 test, " +
                             Counted(static_cast<std::int64_t>(top.items.size()), "name", "names") + " at its top");
  }
  const std::string launchFails = Quoted(TextId::WizardLaunchFailed);
  // A wizard whose member is the damage has been told of already.
  const bool wizardDamaged = wizard && inspection->damaged && wizard == &inspection->entries.back();
  if (wizard && !wizardDamaged) {
    CheckWizard(path, *wizard, bootstrapper, report);
  } else if (folderAtTop) {
    report.Finding(path, std::string(kWizardFileName) + " at its top is a folder, not the wizard: Tolvar shows " +
                             launchFails);
  } else if (deeper) {
    report.Finding(path, "holds " + std::string(kWizardFileName) + " only below its top (" + Shown(deeper->path) +
                             "): Tolvar starts the one at the top and shows " + launchFails);
  } else if (!wizard) {
    report.Finding(path, "holds no " + std::string(kWizardFileName) + (inspection->damaged ? " before its damage" : "") +
                             " at its top: Tolvar shows " + launchFails);
  }
  return top;
}

}  // namespace tolvar::zl32
