#include "archive/DeflateAll.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tolvar {

void DeflateAll(z_stream& z, std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out, int flush) {
  constexpr std::size_t kMost = std::numeric_limits<uInt>::max();
  std::size_t taken = 0;
  std::size_t written = 0;
  for (;;) {
    if (written == out.size()) out.resize(out.size() + 65536);
    z.next_in = const_cast<Bytef*>(input.data() + taken);
    z.avail_in = static_cast<uInt>(std::min(input.size() - taken, kMost));
    z.next_out = out.data() + written;
    z.avail_out = static_cast<uInt>(std::min(out.size() - written, kMost));
    const uInt offered = z.avail_in;
    const uInt room = z.avail_out;
    const bool last = input.size() - taken == offered;
    const int result = deflate(&z, last ? flush : Z_NO_FLUSH);
    if (result == Z_STREAM_ERROR) throw std::bad_alloc();
    taken += offered - z.avail_in;
    written += room - z.avail_out;
    if (result == Z_STREAM_END) break;
    // A flush short of the end is complete when it leaves output room unused.
    if (flush != Z_FINISH && last && z.avail_in == 0 && z.avail_out != 0) break;
  }
  out.resize(written);
}

}  // namespace tolvar
