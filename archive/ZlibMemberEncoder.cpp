// zlib's deflate over a whole buffer, one z_stream reset between members.
#include <zlib.h>

#include <new>

#include "archive/DeflateAll.h"
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
    DeflateAll(stream_, input, out, Z_FINISH);
  }

 private:
  z_stream stream_{};
};

}  // namespace

std::unique_ptr<MemberEncoder> MakeZlibMemberEncoder(int level) {
  return std::make_unique<ZlibMemberEncoder>(level);
}

}  // namespace tolvar
