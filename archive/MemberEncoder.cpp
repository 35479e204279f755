// Which encoder the build compresses members with.
#include "archive/MemberEncoder.h"

namespace tolvar {

std::unique_ptr<MemberEncoder> MakeMemberEncoder(int level) {
#ifdef TOLVAR_WITH_LIBDEFLATE
  return MakeLibdeflateMemberEncoder(level);
#else
  return MakeZlibMemberEncoder(level);
#endif
}

}  // namespace tolvar
