// libdeflate's zlib-format compressor over a whole buffer.
#include <libdeflate.h>

#include <array>
#include <new>
#include <stdexcept>

#include "archive/MemberEncoder.h"

namespace tolvar {
namespace {

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

int LibdeflateLevel(int level) {
  // zl32 level:                              0  1  2  3  4  5  6  7  8   9
  static constexpr std::array<int, 10> kMap = {0, 1, 2, 3, 4, 6, 7, 8, 10, 12};
  return kMap.at(static_cast<std::size_t>(level));
}

std::unique_ptr<MemberEncoder> MakeLibdeflateMemberEncoder(int level) {
  return std::make_unique<LibdeflateMemberEncoder>(level);
}

}  // namespace tolvar
