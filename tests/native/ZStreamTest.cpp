#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ZStream.h"
#include "platform/MemoryStream.h"
#include "tests/fixtures/ArchiveBytes.h"

namespace tolvar {
namespace {

using test::DeflateWith;
using test::NoiseBytes;
using test::PatternBytes;
using test::ZlibMember;

MemoryStream SourceOf(const std::string& bytes) {
  return MemoryStream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

// Reads the whole stream in reads of `piece` bytes.
std::string ReadAll(TZDecompressionStream& stream, std::size_t piece = 32768) {
  std::string out;
  std::string buffer(piece, '\0');
  for (;;) {
    const std::size_t n = stream.Read(buffer.data(), buffer.size());
    if (n == 0) return out;
    out.append(buffer, 0, n);
  }
}

// A source that counts its reads and refuses nothing.
class CountingStream final : public Stream {
 public:
  explicit CountingStream(const std::string& bytes) : inner_(SourceOf(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    ++reads;
    requested.push_back(count);
    return inner_.Read(buffer, count);
  }
  std::size_t Write(const void* buffer, std::size_t count) override { return inner_.Write(buffer, count); }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override { return inner_.Seek(offset, origin); }
  int reads = 0;
  std::vector<std::size_t> requested;

 private:
  MemoryStream inner_;
};

TEST(ZStream, TwoMembersBackToBackAreReadOneAfterTheOther) {
  const std::string first = PatternBytes(150000, 1);
  const std::string second = PatternBytes(3000, 2);
  const std::string one = ZlibMember(first);
  MemoryStream source = SourceOf(one + ZlibMember(second) + "tail");
  {
    TZDecompressionStream stream(source);
    EXPECT_EQ(ReadAll(stream), first);
    EXPECT_TRUE(stream.StreamEnded());
    // The read-ahead went back: the source stands on the second member.
    EXPECT_EQ(source.Position(), static_cast<std::int64_t>(one.size()));
  }
  TZDecompressionStream stream(source);
  EXPECT_EQ(ReadAll(stream, 1000), second);
  EXPECT_EQ(source.Position(), static_cast<std::int64_t>(source.Bytes().size() - 4));
}

TEST(ZStream, EveryReadIsFullUntilTheEndAndLaterReadsDeliverNothing) {
  const std::string data = PatternBytes(100000, 3);
  const std::string member = ZlibMember(data);
  MemoryStream source = SourceOf(member + "next entry");
  TZDecompressionStream stream(source);
  std::string buffer(32768, '\0');
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 32768u);
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 32768u);
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 32768u);
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 100000u - 3 * 32768u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 0u);
    EXPECT_EQ(source.Position(), static_cast<std::int64_t>(member.size()));
  }
  EXPECT_EQ(stream.Position(), 100000);
}

TEST(ZStream, EmptyInputDeliversNothingAndLeavesTheSourceAfterTheMember) {
  const std::string member = ZlibMember("");
  ASSERT_EQ(member.size(), 8u);
  MemoryStream source = SourceOf(member + "rest");
  TZDecompressionStream stream(source);
  char byte = 0;
  EXPECT_EQ(stream.Read(&byte, 1), 0u);
  EXPECT_TRUE(stream.StreamEnded());
  EXPECT_EQ(source.Position(), 8);
}

TEST(ZStream, MemberEndingOnABlockBoundaryNeedsNoMoveBack) {
  // A stored member of exactly 65536 bytes: it fills one read-ahead block.
  const std::string noise = NoiseBytes(65600, 11);
  std::string data;
  for (std::size_t n = 65400; n < 65536 && data.empty(); ++n) {
    if (ZlibMember(std::string_view(noise).substr(0, n), 0).size() == 65536) data = noise.substr(0, n);
  }
  ASSERT_FALSE(data.empty());
  const std::string member = ZlibMember(data, 0);
  CountingStream source(member + ZlibMember("next"));
  TZDecompressionStream stream(source);
  EXPECT_EQ(ReadAll(stream), data);
  EXPECT_EQ(source.Position(), 65536);
  std::string buffer(10, '\0');
  EXPECT_EQ(stream.Read(buffer.data(), buffer.size()), 0u);
  EXPECT_EQ(source.Position(), 65536);
  // The source is always asked for whole blocks.
  for (const std::size_t asked : source.requested) EXPECT_EQ(asked, 65536u);
}

TEST(ZStream, PutsBackASourceThatOthersMovedBetweenReads) {
  const std::string data = PatternBytes(300000, 4);
  MemoryStream source = SourceOf(ZlibMember(data));
  TZDecompressionStream stream(source);
  std::string out(1000, '\0');
  ASSERT_EQ(stream.Read(out.data(), out.size()), 1000u);
  source.Seek(0, SeekOrigin::Begin);
  std::string rest = ReadAll(stream);
  EXPECT_EQ(out + rest, data);
}

TEST(ZStream, RefillNotificationComesOncePerBlockReadFromTheSource) {
  const std::string data = NoiseBytes(200000, 5);  // stays about 200000 bytes when stored
  MemoryStream source = SourceOf(ZlibMember(data, 0));
  TZDecompressionStream stream(source);
  int refills = 0;
  Stream* sender = nullptr;
  stream.OnRefill = [&](Stream& from) {
    ++refills;
    sender = &from;
  };
  EXPECT_EQ(ReadAll(stream), data);
  EXPECT_EQ(refills, 4);  // ceil(200000+ / 65536)
  EXPECT_EQ(sender, &stream);
}

TEST(ZStream, WriteAndBackwardSeeksAreInvalidOperations) {
  MemoryStream source = SourceOf(ZlibMember(PatternBytes(1000, 6)));
  TZDecompressionStream stream(source);
  std::string buffer(100, '\0');
  ASSERT_EQ(stream.Read(buffer.data(), 100), 100u);
  const auto expectInvalid = [](const auto& operation) {
    try {
      operation();
      ADD_FAILURE() << "no error raised";
    } catch (const EZDecompressionError& error) {
      EXPECT_STREQ(error.what(), "Invalid ZStream operation!");
      EXPECT_EQ(error.ErrorCode(), 0);
    }
  };
  expectInvalid([&] { stream.Write("x", 1); });
  expectInvalid([&] { stream.Write("x", 0); });
  expectInvalid([&] { stream.Seek(-10, SeekOrigin::Current); });
  expectInvalid([&] { stream.Seek(50, SeekOrigin::Begin); });   // backwards from 100
  expectInvalid([&] { stream.Seek(100, SeekOrigin::Begin); });  // to the current position
  expectInvalid([&] { stream.Seek(5, SeekOrigin::End); });
  expectInvalid([&] { stream.Seek(0, static_cast<SeekOrigin>(3)); });
  // Size works only at position 0, where its last seek is a rewind.
  expectInvalid([&] { stream.Size(); });
  EXPECT_EQ(stream.Position(), 1000);  // Size's seek to the end had read everything
}

TEST(ZStream, ForwardSeeksDiscardAndRewindStartsOver) {
  const std::string data = PatternBytes(250000, 7);
  CountingStream source(ZlibMember(data));
  TZDecompressionStream stream(source);
  EXPECT_EQ(stream.Seek(100000, SeekOrigin::Current), 100000);
  std::string buffer(10, '\0');
  ASSERT_EQ(stream.Read(buffer.data(), 10), 10u);
  EXPECT_EQ(buffer, data.substr(100000, 10));
  EXPECT_EQ(stream.Seek(200000, SeekOrigin::Begin), 200000);  // forward from the beginning
  EXPECT_EQ(stream.Seek(0, SeekOrigin::Current), 200000);     // a question: nothing moves
  EXPECT_EQ(stream.Seek(0, SeekOrigin::End), 250000);
  EXPECT_EQ(stream.Seek(0, SeekOrigin::Begin), 0);  // rewind
  EXPECT_EQ(ReadAll(stream), data);
  EXPECT_EQ(stream.Seek(0, SeekOrigin::Begin), 0);
  EXPECT_EQ(stream.Size(), 250000);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(ZStream, SeekingPastTheEndRaisesTheStreamReadError) {
  MemoryStream source = SourceOf(ZlibMember(PatternBytes(5000, 8)));
  TZDecompressionStream stream(source);
  EXPECT_THROW(stream.Seek(100000, SeekOrigin::Current), EStreamReadError);
}

TEST(ZStream, DamagedDataRaisesWithZlibsCodeAndText) {
  std::string member = ZlibMember(PatternBytes(50000, 9));
  member[1] = static_cast<char>(member[1] ^ 0x01);  // header check fails
  MemoryStream source = SourceOf(member);
  TZDecompressionStream stream(source);
  std::string buffer(100, '\0');
  try {
    stream.Read(buffer.data(), buffer.size());
    FAIL() << "corrupt data must raise";
  } catch (const EZDecompressionError& error) {
    EXPECT_EQ(error.ErrorCode(), Z_DATA_ERROR);
    EXPECT_STREQ(error.what(), "data error");
  }
}

TEST(ZStream, APresetDictionaryRaisesInsteadOfLoopingForEver) {
  MemoryStream source = SourceOf(DeflateWith("hello hello", 15, "hello"));
  TZDecompressionStream stream(source);
  std::string buffer(100, '\0');
  try {
    stream.Read(buffer.data(), buffer.size());
    FAIL() << "a dictionary request must raise";
  } catch (const EZDecompressionError& error) {
    EXPECT_EQ(error.ErrorCode(), Z_NEED_DICT);
    EXPECT_STREQ(error.what(), "need dictionary");
  }
}

TEST(ZStream, ASourceThatEndsEarlyDeliversWhatItCanWithoutError) {
  const std::string data = PatternBytes(100000, 10);
  const std::string member = ZlibMember(data);
  MemoryStream source = SourceOf(member.substr(0, member.size() - 6));
  TZDecompressionStream stream(source);
  const std::string got = ReadAll(stream);
  EXPECT_FALSE(stream.StreamEnded());
  EXPECT_EQ(got, data.substr(0, got.size()));
  EXPECT_GT(got.size(), 90000u);
}

TEST(ZStream, ErrorTextsFollowZlibsCodes) {
  const std::pair<int, const char*> texts[] = {
      {2, "need dictionary"}, {1, "stream end"}, {0, "ok"}, {-1, "file error"}, {-2, "stream error"},
      {-3, "data error"}, {-4, "insufficient memory"}, {-5, "buffer error"}, {-6, "incompatible version"}, {-7, ""}};
  for (const auto& [code, text] : texts) {
    const EZDecompressionError error(code);
    EXPECT_STREQ(error.what(), text) << code;
    EXPECT_EQ(error.ErrorCode(), code);
  }
  EXPECT_EQ(TZDecompressionStream::CheckInflate(Z_NEED_DICT), Z_NEED_DICT);
  EXPECT_EQ(TZDecompressionStream::CheckInflate(Z_STREAM_END), Z_STREAM_END);
  EXPECT_THROW(TZDecompressionStream::CheckInflate(Z_BUF_ERROR), EZDecompressionError);
}

}  // namespace
}  // namespace tolvar
