// The unpack step: extracts WIZARD.zl into the setup folder under the install
// progress window and reports its failure text.
#pragma once

#include <optional>

#include "platform/Path.h"
#include "platform/Sha256.h"

namespace tolvar {

// True only when the whole archive was unpacked. `wizardDigest` receives the
// digest of the setupostrel.exe that the extraction wrote directly into the
// target folder (nullopt: none). Every folder below the program-files folder is
// checked on the way (see DiskFileSystemBelow).
bool UnpackWizard(const PathString& archivePath, const PathString& targetFolder,
                  std::optional<Sha256Digest>& wizardDigest);

}  // namespace tolvar
