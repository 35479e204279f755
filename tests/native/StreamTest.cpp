#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/FileStream.h"
#include "platform/MemoryStream.h"

namespace tolvar {
namespace {

TEST(Stream, ReadBufferRaisesStreamReadErrorWhenShort) {
  MemoryStream stream({1, 2, 3});
  unsigned char buffer[4] = {};
  stream.ReadBuffer(buffer, 2);
  EXPECT_EQ(buffer[1], 2);
  try {
    stream.ReadBuffer(buffer, 2);
    FAIL() << "a short read must raise";
  } catch (const EStreamReadError& error) {
    EXPECT_STREQ(error.what(), "Stream read error");
  }
  // Reading nothing at the end is not an error.
  stream.ReadBuffer(buffer, 0);
}

TEST(Stream, SizeComesFromSeekAndKeepsThePosition) {
  MemoryStream stream({1, 2, 3, 4, 5});
  stream.SetPosition(2);
  EXPECT_EQ(stream.Size(), 5);
  EXPECT_EQ(stream.Position(), 2);
}

TEST(MemoryStream, WritesBeyondTheEndFillTheGapAndRefuseNegativePositions) {
  MemoryStream stream;
  stream.Seek(3, SeekOrigin::Begin);
  const unsigned char byte = 9;
  EXPECT_EQ(stream.Write(&byte, 1), 1u);
  EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{0, 0, 0, 9}));
  EXPECT_EQ(stream.Seek(-10, SeekOrigin::Current), -1);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(stream.Seek(1, SeekOrigin::Begin), 1);
  EXPECT_EQ(stream.Seek(INT64_MAX, SeekOrigin::Current), -1);
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tolvar-stream-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }
  // The program's paths use backslashes; the POSIX layer translates them.
  std::string Path(const std::string& name) const {
    std::string path = folder_ + "/" + name;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
  }
  std::string folder_;
};

TEST_F(FileStreamTest, CreateWriteReopenAndRead) {
  {
    auto out = FileStream::Create(Path("data.bin"));
    ASSERT_NE(out, nullptr);
    out->WriteBuffer("hello world", 11);
    EXPECT_EQ(out->Size(), 11);
  }
  auto in = FileStream::OpenRead(Path("data.bin"), FileShare::ReadWrite);
  ASSERT_NE(in, nullptr);
  char text[6] = {};
  in->Seek(6, SeekOrigin::Begin);
  in->ReadBuffer(text, 5);
  EXPECT_STREQ(text, "world");
  EXPECT_EQ(in->Read(text, 5), 0u);
  EXPECT_THROW(in->ReadBuffer(text, 1), EStreamReadError);
}

TEST_F(FileStreamTest, CreateTruncatesAndMissingFilesDoNotOpen) {
  FileStream::Create(Path("f"))->WriteBuffer("long content", 12);
  FileStream::Create(Path("f"))->WriteBuffer("x", 1);
  EXPECT_EQ(FileStream::OpenRead(Path("f"), FileShare::ReadWrite)->Size(), 1);
  EXPECT_EQ(FileStream::OpenRead(Path("missing"), FileShare::ReadWrite), nullptr);
  EXPECT_EQ(FileStream::Create(Path("no-such-folder\\f")), nullptr);
}

TEST_F(FileStreamTest, ExclusiveOpenKeepsOtherExclusiveOpenersOut) {
  FileStream::Create(Path("archive"))->WriteBuffer("x", 1);
  auto first = FileStream::OpenRead(Path("archive"), FileShare::None);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FileStream::OpenRead(Path("archive"), FileShare::None), nullptr);
  first.reset();
  EXPECT_NE(FileStream::OpenRead(Path("archive"), FileShare::None), nullptr);
}

}  // namespace
}  // namespace tolvar
