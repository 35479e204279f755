// zlib's crc32() for the bootstrapper, without zlib's 12 KB of tables. Inflate
// asks for it only to check a gzip stream, which Tolvar.exe never reads (its
// archives hold zlib streams, checked by Adler-32), so a bit-at-a-time CRC is
// fast enough and keeps the program small. The same CRC-32 (reflected
// polynomial 0xEDB88320, as zlib's), so any caller gets zlib's results.
//
// Linked as an object of the program (tolvar_small_crc32), so this definition
// comes before the zlib library's and its crc32 object is never linked.
#include <zlib.h>

#include <cstdint>

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef* data, uInt length) {
  if (data == Z_NULL) return 0;
  std::uint32_t value = static_cast<std::uint32_t>(crc) ^ 0xFFFFFFFFu;
  for (uInt i = 0; i < length; ++i) {
    value ^= data[i];
    for (int bit = 0; bit < 8; ++bit) value = (value >> 1) ^ (0xEDB88320u & (0u - (value & 1u)));
  }
  return value ^ 0xFFFFFFFFu;
}
