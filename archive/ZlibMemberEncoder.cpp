// zlib's deflate over a whole buffer, one z_stream reset between members.
#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

#include "archive/MemberEncoder.h"

namespace tolvar {
namespace {

class ZlibMemberEncoder final : public MemberEncoder {
 public:
  explicit ZlibMemberEncoder(int level) {
    // The zlib format with a 32 KB window, as the extractor reads it.
    if (deflateInit(&stream_, level) != Z_OK) throw std::bad_alloc();
  }
  ~ZlibMemberEncoder() override { deflateEnd(&stream_); }
  ZlibMemberEncoder(const ZlibMemberEncoder&) = delete;
  ZlibMemberEncoder& operator=(const ZlibMemberEncoder&) = delete;

  void Encode(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out) override {
    if (deflateReset(&stream_) != Z_OK) throw std::bad_alloc();
    out.resize(deflateBound(&stream_, static_cast<uLong>(input.size())));
    // avail_in and avail_out are 32-bit: feed and drain in pieces that fit.
    constexpr std::size_t kMost = std::numeric_limits<uInt>::max();
    std::size_t taken = 0;
    std::size_t written = 0;
    int result = Z_OK;
    while (result != Z_STREAM_END) {
      if (written == out.size()) out.resize(out.size() + 65536);
      stream_.next_in = const_cast<Bytef*>(input.data() + taken);
      stream_.avail_in = static_cast<uInt>(std::min(input.size() - taken, kMost));
      stream_.next_out = out.data() + written;
      stream_.avail_out = static_cast<uInt>(std::min(out.size() - written, kMost));
      const uInt offered = stream_.avail_in;
      const uInt room = stream_.avail_out;
      const bool last = input.size() - taken == offered;
      result = deflate(&stream_, last ? Z_FINISH : Z_NO_FLUSH);
      if (result == Z_STREAM_ERROR) throw std::bad_alloc();
      taken += offered - stream_.avail_in;
      written += room - stream_.avail_out;
    }
    out.resize(written);
  }

 private:
  z_stream stream_{};
};

}  // namespace

std::unique_ptr<MemberEncoder> MakeZlibMemberEncoder(int level) {
  return std::make_unique<ZlibMemberEncoder>(level);
}

}  // namespace tolvar
