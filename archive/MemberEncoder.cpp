// Which encoder the build compresses members with.
#include "archive/MemberEncoder.h"

#include <zlib.h>

#ifdef TOLVAR_WITH_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace tolvar {

std::unique_ptr<MemberEncoder> MakeMemberEncoder(int level) {
#ifdef TOLVAR_WITH_LIBDEFLATE
  return MakeLibdeflateMemberEncoder(level);
#else
  return MakeZlibMemberEncoder(level);
#endif
}

std::string MemberEncoderName() {
#ifdef TOLVAR_WITH_LIBDEFLATE
  return "libdeflate " LIBDEFLATE_VERSION_STRING;
#else
  return std::string("zlib ") + zlibVersion();
#endif
}

}  // namespace tolvar
