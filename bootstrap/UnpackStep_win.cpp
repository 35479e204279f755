// Interim unpack step: the extractor is not part of the program yet, so the step
// reports success and the sequence goes on with whatever the setup folder holds.
#include "bootstrap/UnpackStep_win.h"

namespace tolvar {

bool UnpackWizard(const PathString&, const PathString&) { return true; }

}  // namespace tolvar
