// The unpack step: extracts WIZARD.zl into the setup folder under the install
// progress window and reports its failure text.
#pragma once

#include "platform/Path.h"

namespace tolvar {

// True only when the whole archive was unpacked.
bool UnpackWizard(const PathString& archivePath, const PathString& targetFolder);

}  // namespace tolvar
