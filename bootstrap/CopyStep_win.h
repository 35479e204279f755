// The definition-file copy step: copies the extra files that tolvar.def lists
// into the setup folder.
#pragma once

namespace tolvar {

// False only when the user declined a disk prompt.
bool CopyDefinitionFiles();

}  // namespace tolvar
