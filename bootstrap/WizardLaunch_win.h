// Starting the wizard that the extraction delivered, and only a wizard that may
// be started on behalf of this program.
#pragma once

#include <cstdint>
#include <string>

#include "bootstrap/DeliveredFiles.h"
#include "platform/HeldFolder.h"

namespace tolvar {

// Starts the setupostrel.exe that `delivered` holds in the setup folder with
// `commandLine`, and waits until it has ended. The names beside it that steer
// how Windows loads it, and that the archive did not deliver, are removed first
// through `setupFolder` (the setup folder, held); they must still be gone once
// the process exists. When this program (`ownProgramPath`) carries a valid
// signature, the wizard must carry a valid one made with the same certificate.
// The process
// handle value, or 0 when nothing was started (the caller tells the user).
std::uintptr_t LaunchWizard(const DeliveredFiles& delivered, const HeldFolder& setupFolder,
                            const std::string& ownProgramPath, const std::string& commandLine);

}  // namespace tolvar
