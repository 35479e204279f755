#include "platform/FileStream.h"

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "platform/Utf.h"
#include "tests/support/Scratch_win.h"

namespace tolvar {
namespace {

TEST(FileStreamWin, CzechNamesAndExclusiveOpening) {
  test::ScratchFolder folder("stream");
  const std::string path = folder / "Průvodce šířka.bin";
  {
    auto out = FileStream::Create(path);
    ASSERT_NE(out, nullptr);
    out->WriteBuffer("12345", 5);
    // The writer holds the file exclusively.
    EXPECT_EQ(FileStream::OpenRead(path, FileShare::ReadWrite), nullptr);
  }
  EXPECT_TRUE(FileExists(path));
  auto exclusive = FileStream::OpenRead(path, FileShare::None);
  ASSERT_NE(exclusive, nullptr);
  EXPECT_EQ(exclusive->Size(), 5);
  // Nobody else may open it while the exclusive reader holds it, not even to read.
  EXPECT_EQ(FileStream::OpenRead(path, FileShare::ReadWrite), nullptr);
  exclusive.reset();
  EXPECT_NE(FileStream::OpenRead(path, FileShare::ReadWrite), nullptr);
}

TEST(FileStreamWin, SeekingAndReadingPastTheEnd) {
  test::ScratchFolder folder("stream");
  auto file = FileStream::Create(folder / "f");
  file->WriteBuffer("abcdef", 6);
  EXPECT_EQ(file->Seek(-2, SeekOrigin::End), 4);
  char two[2];
  file->ReadBuffer(two, 2);
  EXPECT_EQ(std::string(two, 2), "ef");
  EXPECT_EQ(file->Read(two, 2), 0u);
  EXPECT_THROW(file->ReadBuffer(two, 1), EStreamReadError);
  EXPECT_EQ(file->Seek(-1, SeekOrigin::Begin), -1);

  // A read that the system refuses (here: a handle without read access) raises;
  // it is never the end of the file.
  file.reset();
  const HANDLE handle = ::CreateFileW(Utf8ToUtf16(folder / "f").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  auto writeOnly = FileStream::Adopt(reinterpret_cast<std::intptr_t>(handle));
  EXPECT_THROW(writeOnly->Read(two, 2), EStreamReadFailure);
}

TEST(FileSystemWin, ForceDirectoriesAndExistence) {
  test::ScratchFolder folder("fs");
  EXPECT_TRUE(ForceDirectories(folder / "a\\b\\c\\"));
  EXPECT_TRUE(DirectoryExists(folder / "a\\b\\c"));
  EXPECT_FALSE(FileExists(folder / "a"));
  EXPECT_TRUE(ForceDirectories("C:\\"));
  EXPECT_TRUE(ForceDirectories("C:"));
}

}  // namespace
}  // namespace tolvar
