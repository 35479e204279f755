// The bootstrapper's bit-at-a-time crc32() gives zlib's results: the check value
// of the CRC-32 catalogue, zlib's own crc32_z on data of every length around the
// word and block sizes zlib's table code works in, and continued sums.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

TEST(SmallCrc32, GivesZlibsResults) {
  const Bytef check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(crc32(0, check, 9), 0xCBF43926u);
  EXPECT_EQ(crc32(0, Z_NULL, 0), 0u);
  EXPECT_EQ(crc32(0x12345678u, Z_NULL, 100), 0u);  // no data: the initial value, as zlib's
  EXPECT_EQ(crc32(0, check, 0), 0u);

  std::mt19937 random(7);
  std::vector<Bytef> data(5000);
  for (Bytef& byte : data) byte = static_cast<Bytef>(random());
  for (uInt length : {1u, 2u, 3u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 255u, 256u, 4999u, 5000u}) {
    for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{3}}) {
      if (start + length > data.size()) continue;
      EXPECT_EQ(crc32(0, data.data() + start, length), crc32_z(0, data.data() + start, length))
          << length << " bytes from " << start;
    }
  }
  // A sum continued over two pieces is the sum of the whole.
  const uLong first = crc32(0, data.data(), 1234);
  EXPECT_EQ(crc32(first, data.data() + 1234, 5000 - 1234), crc32_z(0, data.data(), 5000));
}

}  // namespace
