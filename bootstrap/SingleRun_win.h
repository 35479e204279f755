// One run of Tolvar.exe per logon session. Autorun and a double click, or two
// double clicks, start the program twice: the second run leaves the work to the
// first, brings the first one's window to the front and ends without a word.
//
// The marker is a small named memory section in the session's own namespace
// ("Local\"), named with the user's SID: a user can only ever make markers in
// sessions of their own, so nobody blocks another user's install. A section of
// that name that this user did not make (another user of the same session got
// there first) is not ours to defer to: the run goes on.
#pragma once

#include <optional>

#include "platform/Handle_win.h"

namespace tolvar {

class SingleRun {
 public:
  // Claims the session's run for this process and holds it while the object
  // lives. nullopt when a run of this user is on already: its front window (if
  // it has one) has been brought to the front.
  static std::optional<SingleRun> Claim();

 private:
  explicit SingleRun(UniqueKernelHandle marker) : marker_(std::move(marker)) {}
  UniqueKernelHandle marker_;  // empty when no marker could be made: the run goes on unguarded
};

}  // namespace tolvar
