#include "bootstrap/FileCopy.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/FileStream.h"
#include "platform/MemoryStream.h"
#include "platform/ReadAheadStream.h"

namespace tolvar {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

// A target on a disk that fills up: it accepts `capacity` bytes in all, then
// fewer than it is given.
class FillingStream final : public Stream {
 public:
  explicit FillingStream(std::size_t capacity) : capacity_(capacity) {}
  std::size_t Read(void*, std::size_t) override { return 0; }
  std::size_t Write(const void* buffer, std::size_t count) override {
    const std::size_t accepted = std::min(count, capacity_ - bytes_.size());
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    bytes_.insert(bytes_.end(), in, in + accepted);
    return accepted;
  }
  std::int64_t Seek(std::int64_t, SeekOrigin) override { return static_cast<std::int64_t>(bytes_.size()); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::size_t capacity_;
  std::vector<std::uint8_t> bytes_;
};

// A medium with a bad spot: reads deliver `good` bytes, then the device fails.
class FailingStream final : public Stream {
 public:
  FailingStream(std::vector<std::uint8_t> bytes, std::size_t good) : bytes_(std::move(bytes)), good_(good) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (position_ >= good_) throw EStreamReadFailure();
    const std::size_t n = std::min(count, good_ - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), n, static_cast<std::uint8_t*>(buffer));
    position_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { return 0; }
  std::int64_t Seek(std::int64_t, SeekOrigin) override { return static_cast<std::int64_t>(position_); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t good_;
  std::size_t position_ = 0;
};

struct Recorded {
  std::vector<int> reports;
  int blocks = 0;
  BlockCopyProgress Progress(std::uint8_t step) {
    BlockCopyProgress progress;
    progress.report = [this](std::uint8_t percent) { reports.push_back(percent); };
    progress.step = step;
    progress.afterBlock = [this] { ++blocks; };
    return progress;
  }
};

TEST(CopyPercent, QuotientFirstThenTruncatedAndEmptyIsComplete) {
  EXPECT_EQ(CopyPercent(2048, 10000), 20);
  EXPECT_EQ(CopyPercent(6144, 10000), 61);
  EXPECT_EQ(CopyPercent(8192, 10000), 81);
  EXPECT_EQ(CopyPercent(9999, 10000), 99);
  EXPECT_EQ(CopyPercent(10000, 10000), 100);
  EXPECT_EQ(CopyPercent(0, 10000), 0);
  EXPECT_EQ(CopyPercent(0, 0), 100);           // an empty source is complete
  EXPECT_EQ(CopyPercent(20000, 10000), 100);   // a source that grew meanwhile
  // Sizes beyond 32 bits keep their percentage.
  EXPECT_EQ(CopyPercent(3'000'000'000LL, 6'000'000'000LL), 50);
}

// Each loop runs over the source itself and over the read-ahead that the copy
// step puts in front of it: the same blocks, reports and bytes either way.
TEST(CopyBlocks, TenThousandBytesReportEveryFivePointsAndPumpAfterEveryBlock) {
  const auto source = Pattern(10000);
  for (const bool ahead : {false, true}) {
    MemoryStream input(source);
    ReadAheadStream readAhead(input);
    Stream& from = ahead ? static_cast<Stream&>(readAhead) : input;
    MemoryStream output;
    Recorded recorded;
    EXPECT_EQ(CopyBlocks(from, output, 10000, recorded.Progress(5)), BlockCopyResult::Complete);
    EXPECT_EQ(output.Bytes(), source);
    // Blocks end at 2048, 4096, 6144, 8192 and 10000 bytes; the caller reports 0.
    EXPECT_EQ(recorded.reports, (std::vector<int>{20, 40, 61, 81, 100})) << ahead;
    EXPECT_EQ(recorded.blocks, 6) << ahead;  // five blocks and the empty read that ends the copy
  }
}

TEST(CopyBlocks, OneFullBlockThenAnEmptyRead) {
  const auto source = Pattern(2048);
  MemoryStream input(source);
  MemoryStream output;
  Recorded recorded;
  EXPECT_EQ(CopyBlocks(input, output, 2048, recorded.Progress(5)), BlockCopyResult::Complete);
  EXPECT_EQ(output.Bytes(), source);
  EXPECT_EQ(recorded.reports, (std::vector<int>{100}));
  EXPECT_EQ(recorded.blocks, 2);
}

TEST(CopyBlocks, AnEmptySourceReportsAHundredAndSucceeds) {
  MemoryStream input;
  MemoryStream output;
  Recorded recorded;
  EXPECT_EQ(CopyBlocks(input, output, 0, recorded.Progress(5)), BlockCopyResult::Complete);
  EXPECT_TRUE(output.Bytes().empty());
  EXPECT_EQ(recorded.reports, (std::vector<int>{100}));
}

TEST(CopyBlocks, AShortWriteStopsTheCopyAndKeepsWhatWasWritten) {
  const auto source = Pattern(10000);
  for (const bool ahead : {false, true}) {
    MemoryStream input(source);
    ReadAheadStream readAhead(input);
    Stream& from = ahead ? static_cast<Stream&>(readAhead) : input;
    FillingStream output(5000);
    Recorded recorded;
    EXPECT_EQ(CopyBlocks(from, output, 10000, recorded.Progress(5)), BlockCopyResult::ShortWrite);
    ASSERT_EQ(output.Bytes().size(), 5000u);
    EXPECT_TRUE(std::equal(output.Bytes().begin(), output.Bytes().end(), source.begin()));
    // The third block was read in full and written in part; the loop read nothing after it.
    EXPECT_EQ(from.Position(), 6144) << ahead;
    EXPECT_EQ(recorded.reports, (std::vector<int>{20, 40, 50})) << ahead;
    EXPECT_EQ(recorded.blocks, 3) << ahead;
  }
}

TEST(CopyBlocks, ASourceThatEndsEarlyOrGrowsIsNotComplete) {
  // Cut to 5000 bytes after its size of 10000 was taken: the bytes that came are
  // written, and the copy says it is not the source.
  const auto source = Pattern(10000);
  MemoryStream cut(std::vector<std::uint8_t>(source.begin(), source.begin() + 5000));
  MemoryStream output;
  Recorded recorded;
  EXPECT_EQ(CopyBlocks(cut, output, 10000, recorded.Progress(5)), BlockCopyResult::SourceChanged);
  EXPECT_EQ(output.Bytes().size(), 5000u);
  EXPECT_EQ(recorded.reports, (std::vector<int>{20, 40, 50}));

  // Grown from 5000 bytes: the copy stops with the block that passes the size.
  MemoryStream grown(source);
  MemoryStream target;
  EXPECT_EQ(CopyBlocks(grown, target, 5000, BlockCopyProgress{}), BlockCopyResult::SourceChanged);
  EXPECT_EQ(target.Bytes().size(), 6144u);
}

TEST(CopyBlocks, AReadTheDeviceFailsIsNeverTheEndOfTheFile) {
  // Through the read-ahead, as the copy step reads: the bytes before the bad spot stay.
  const auto source = Pattern(100000);
  FailingStream medium(source, 70000);
  ReadAheadStream readAhead(medium);
  MemoryStream output;
  EXPECT_EQ(CopyBlocks(readAhead, output, 100000, BlockCopyProgress{}), BlockCopyResult::ReadFailed);
  EXPECT_EQ(output.Bytes().size(), 70000u);
  EXPECT_TRUE(std::equal(output.Bytes().begin(), output.Bytes().end(), source.begin()));

  // A real failure of the system's read: a folder opened as a file.
  char folder[] = "/tmp/tolvar-copy-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string path = folder;
  std::replace(path.begin(), path.end(), '/', '\\');
  auto opened = FileStream::OpenRead(path, FileShare::ReadWrite);
  ASSERT_NE(opened, nullptr);
  MemoryStream none;
  EXPECT_EQ(CopyBlocks(*opened, none, 4096, BlockCopyProgress{}), BlockCopyResult::ReadFailed);
  rmdir(folder);
}

TEST(CopyBlocks, ATargetThatTakesNothingIsAShortWrite) {
  // A real device that is always full.
  auto output = FileStream::Create("\\dev\\full");
  ASSERT_NE(output, nullptr);
  MemoryStream input(Pattern(100));
  EXPECT_EQ(CopyBlocks(input, *output, 100, BlockCopyProgress{}), BlockCopyResult::ShortWrite);
}

TEST(CopyBlocks, WithoutAReportNothingIsCountedAndStepZeroReportsEveryBlock) {
  MemoryStream input(Pattern(5000));
  MemoryStream output;
  int blocks = 0;
  BlockCopyProgress quiet;
  quiet.afterBlock = [&] { ++blocks; };
  EXPECT_EQ(CopyBlocks(input, output, 5000, quiet), BlockCopyResult::Complete);
  EXPECT_EQ(blocks, 4);

  MemoryStream again(Pattern(5000));
  MemoryStream target;
  Recorded recorded;
  EXPECT_EQ(CopyBlocks(again, target, 5000, recorded.Progress(0)), BlockCopyResult::Complete);
  EXPECT_EQ(recorded.reports, (std::vector<int>{40, 81, 100, 100}));
}

}  // namespace
}  // namespace tolvar
