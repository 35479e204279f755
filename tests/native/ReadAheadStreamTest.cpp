#include "platform/ReadAheadStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/MemoryStream.h"

namespace tolvar {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 241);
  return bytes;
}

// A source that counts the calls made to it and, like a pipe or a slow device,
// delivers at most `most` bytes per read.
class CountedSource final : public Stream {
 public:
  explicit CountedSource(std::vector<std::uint8_t> bytes, std::size_t most = SIZE_MAX)
      : inner_(std::move(bytes)), most_(most) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    ++reads;
    return inner_.Read(buffer, std::min(count, most_));
  }
  std::size_t Write(const void* buffer, std::size_t count) override { return inner_.Write(buffer, count); }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override { return inner_.Seek(offset, origin); }
  const std::vector<std::uint8_t>& Bytes() const { return inner_.Bytes(); }
  int reads = 0;

 private:
  MemoryStream inner_;
  std::size_t most_;
};

// Reads `stream` to its end in requests of `block` bytes: the bytes and the size of every read.
std::vector<std::uint8_t> ReadAll(Stream& stream, std::size_t block, std::vector<std::size_t>* counts = nullptr) {
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> buffer(block);
  for (;;) {
    const std::size_t got = stream.Read(buffer.data(), block);
    if (counts) counts->push_back(got);
    if (got == 0) return all;
    EXPECT_LE(got, block);
    all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
  }
}

TEST(ReadAheadStream, HandsOutTheReadersBlocksWithOneCallBelowPerChunk) {
  const auto bytes = Pattern(10000);
  CountedSource source(bytes);
  ReadAheadStream stream(source, 4096);
  std::vector<std::size_t> counts;
  EXPECT_EQ(ReadAll(stream, 2048, &counts), bytes);
  // The blocks end where they would end reading the source itself.
  EXPECT_EQ(counts, (std::vector<std::size_t>{2048, 2048, 2048, 2048, 1808, 0}));
  EXPECT_EQ(source.reads, 4);  // 4096, 4096, 1808 and the empty read at the end

  CountedSource again(bytes);
  ReadAheadStream byDefault(again);
  EXPECT_EQ(ReadAll(byDefault, 2048), bytes);
  EXPECT_EQ(again.reads, 2);
}

TEST(ReadAheadStream, AShortReadBelowIsAShortReadHereAndNothingIsLostOrRepeated) {
  const auto bytes = Pattern(9000);
  CountedSource source(bytes, 700);
  ReadAheadStream stream(source, 4096);
  std::vector<std::size_t> counts;
  EXPECT_EQ(ReadAll(stream, 2048, &counts), bytes);
  for (std::size_t i = 0; i + 2 < counts.size(); ++i) EXPECT_EQ(counts[i], 700u) << i;
  EXPECT_EQ(counts.back(), 0u);
  // Reads that do not divide the chunk straddle no byte either.
  CountedSource odd(bytes);
  ReadAheadStream oddStream(odd, 1000);
  EXPECT_EQ(ReadAll(oddStream, 333), bytes);
}

TEST(ReadAheadStream, PositionIsTheReadersAndAMoveDropsWhatWasFetched) {
  const auto bytes = Pattern(10000);
  CountedSource source(bytes);
  ReadAheadStream stream(source, 4096);
  std::uint8_t buffer[2048] = {};
  ASSERT_EQ(stream.Read(buffer, 2048), 2048u);
  ASSERT_EQ(stream.Read(buffer, 952), 952u);
  EXPECT_EQ(stream.Position(), 3000);
  EXPECT_EQ(source.Position(), 4096);  // fetched ahead below
  ASSERT_EQ(stream.Read(buffer, 10), 10u);
  EXPECT_EQ(buffer[0], bytes[3000]);

  EXPECT_EQ(stream.Seek(100, SeekOrigin::Begin), 100);
  ASSERT_EQ(stream.Read(buffer, 4), 4u);
  EXPECT_EQ(buffer[0], bytes[100]);
  EXPECT_EQ(buffer[3], bytes[103]);
  EXPECT_EQ(stream.Seek(-50, SeekOrigin::Current), 54);
  ASSERT_EQ(stream.Read(buffer, 1), 1u);
  EXPECT_EQ(buffer[0], bytes[54]);
  EXPECT_EQ(stream.Seek(-1, SeekOrigin::Begin), -1);  // refused below
  EXPECT_EQ(stream.Seek(INT64_MAX, SeekOrigin::Current), -1);
  EXPECT_EQ(stream.Size(), 10000);
  EXPECT_EQ(stream.Seek(0, SeekOrigin::End), 10000);
  EXPECT_EQ(stream.Read(buffer, 1), 0u);
}

TEST(ReadAheadStream, LargeRequestsGoStraightBelowAndWritesAreRefused) {
  const auto bytes = Pattern(70000);
  CountedSource source(bytes);
  ReadAheadStream stream(source, 65536);
  std::vector<std::uint8_t> buffer(100000);
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 70000u);
  EXPECT_EQ(source.reads, 1);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), buffer.begin()));
  EXPECT_EQ(stream.Read(buffer.data(), 0), 0u);
  EXPECT_EQ(source.reads, 1);  // an empty request asks nothing below

  stream.SetPosition(0);
  EXPECT_EQ(stream.Write(buffer.data(), 10), 0u);
  EXPECT_EQ(source.Bytes(), bytes);
}

}  // namespace
}  // namespace tolvar
