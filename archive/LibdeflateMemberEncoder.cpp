// libdeflate's zlib-format compressor over a whole buffer.
#include <libdeflate.h>

#include <array>
#include <new>
#include <stdexcept>

#include "archive/MemberEncoder.h"

namespace tolvar {
namespace {

// libdeflate runs from 0 to 12. The levels are spread so that each one packs at
// least as small as zlib's level of the same number on the benchmark payload
// (bench/pack.py; there libdeflate's 5 and 6 came out larger than zlib's 5 and
// 6), and the top one is libdeflate's strongest.
int LibdeflateLevel(int level) {
  // zl32 level:                              0  1  2  3  4  5  6  7  8   9
  static constexpr std::array<int, 10> kMap = {0, 1, 2, 3, 4, 6, 7, 8, 10, 12};
  return kMap.at(static_cast<std::size_t>(level));
}

class LibdeflateMemberEncoder final : public MemberEncoder {
 public:
  explicit LibdeflateMemberEncoder(int level) : compressor_(libdeflate_alloc_compressor(LibdeflateLevel(level))) {
    if (!compressor_) throw std::bad_alloc();
  }
  ~LibdeflateMemberEncoder() override { libdeflate_free_compressor(compressor_); }
  LibdeflateMemberEncoder(const LibdeflateMemberEncoder&) = delete;
  LibdeflateMemberEncoder& operator=(const LibdeflateMemberEncoder&) = delete;

  void Encode(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out) override {
    out.resize(libdeflate_zlib_compress_bound(compressor_, input.size()));
    const std::size_t size = libdeflate_zlib_compress(compressor_, input.data(), input.size(), out.data(), out.size());
    // Within the bound the library always succeeds.
    if (size == 0) throw std::logic_error("libdeflate overran its own bound");
    out.resize(size);
  }

 private:
  libdeflate_compressor* compressor_;
};

}  // namespace

std::unique_ptr<MemberEncoder> MakeLibdeflateMemberEncoder(int level) {
  return std::make_unique<LibdeflateMemberEncoder>(level);
}

}  // namespace tolvar
