// Compresses one archive member whole: a file's bytes into one complete zlib
// stream (RFC 1950: 32 KB window, no preset dictionary, Adler-32 trailer), the
// form the bootstrapper's zlib inflates. Where the build has libdeflate, that
// library writes it (smaller and faster than zlib at every level); otherwise
// zlib does. An encoder keeps its working memory between members and serves
// one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tolvar {

// The archive writer's compression levels: 0 stores, 9 packs smallest.
inline constexpr int kLowestCompressionLevel = 0;
inline constexpr int kHighestCompressionLevel = 9;
inline constexpr int kDefaultCompressionLevel = 6;

class MemberEncoder {
 public:
  virtual ~MemberEncoder() = default;
  // Replaces `out` with the zlib stream of `input`. Raises std::bad_alloc when
  // the encoder's memory cannot be had.
  virtual void Encode(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out) = 0;
};

// The build's encoder at `level` (0 to 9).
std::unique_ptr<MemberEncoder> MakeMemberEncoder(int level);
// zlib's own encoder at the same level, also where libdeflate is built in.
std::unique_ptr<MemberEncoder> MakeZlibMemberEncoder(int level);

#ifdef TOLVAR_WITH_LIBDEFLATE
// libdeflate's, its levels spread over the library's 0 to 12 (see its file).
std::unique_ptr<MemberEncoder> MakeLibdeflateMemberEncoder(int level);
#endif

}  // namespace tolvar
