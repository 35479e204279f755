// zlib's deflate driven over a whole buffer in one call.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <span>
#include <vector>

namespace tolvar {

// Deflates all of `input` with `z` into `out`, which it grows as needed and
// trims to what was written, ending with `flush`: Z_FINISH ends the stream,
// Z_SYNC_FLUSH ends on a byte boundary with the stream left open. zlib counts in
// 32 bits, so input and output are fed and drained in pieces that fit. A stream
// error throws std::bad_alloc, as the encoders report every failure.
void DeflateAll(z_stream& z, std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out, int flush);

}  // namespace tolvar
