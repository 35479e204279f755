#include "archive/SplitMember.h"

#include <zlib.h>

#include <new>

#include "archive/DeflateAll.h"

namespace tolvar {
namespace {

// Ends deflate's work on every way out.
struct RawDeflater {
  z_stream stream{};
  explicit RawDeflater(int level) {
    // Negative window bits: raw deflate, no header or trailer of its own.
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
  }
  ~RawDeflater() { deflateEnd(&stream); }
  RawDeflater(const RawDeflater&) = delete;
  RawDeflater& operator=(const RawDeflater&) = delete;
};

}  // namespace

std::vector<std::uint8_t> SplitMemberHeader(int level) {
  // Deflate with a 32 KB window; the level hint as zlib writes it; the check
  // bits make the two bytes a multiple of 31.
  const unsigned hint = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
  unsigned header = 0x7800 | hint << 6;
  header += 31 - header % 31;
  return {static_cast<std::uint8_t>(header >> 8), static_cast<std::uint8_t>(header & 0xFF)};
}

std::vector<std::uint8_t> DeflatePiece(std::span<const std::uint8_t> dictionary,
                                       std::span<const std::uint8_t> piece, int level) {
  RawDeflater deflater(level);
  z_stream& z = deflater.stream;
  if (!dictionary.empty() &&
      deflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size())) != Z_OK) {
    throw std::bad_alloc();
  }
  // The bound leaves no room for the flush's empty stored block (5 bytes).
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(piece.size())) + 16);
  DeflateAll(z, piece, out, Z_SYNC_FLUSH);
  return out;
}

std::vector<std::uint8_t> SplitMemberEnd(std::uint32_t adler) {
  // 0x03 0x00: a final block of fixed codes that holds only its end code.
  return {0x03,
          0x00,
          static_cast<std::uint8_t>(adler >> 24),
          static_cast<std::uint8_t>(adler >> 16),
          static_cast<std::uint8_t>(adler >> 8),
          static_cast<std::uint8_t>(adler)};
}

}  // namespace tolvar
