// The unpack step: extracts WIZARD.zl into the setup folder under the install
// progress window and reports its failure text.
#pragma once

#include "archive/ArchiveFileSystem.h"
#include "platform/Path.h"

namespace tolvar {

// Extracts the archive into the target folder through `files` (for the run: the
// disk below the program-files folder, every folder checked on the way, see
// DiskFileSystemBelow, with the delivered files held, see DeliveredFiles). True
// only when the whole archive was unpacked.
bool UnpackWizard(const PathString& archivePath, const PathString& targetFolder, ArchiveFileSystem& files);

}  // namespace tolvar
