#include "platform/Path.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"

namespace tolvar {
namespace {

TEST(PathHelpers, TrailingBackslashIsAddedOnceAndRemovedOnce) {
  EXPECT_EQ(IncludeTrailingBackslash("C:\\A"), "C:\\A\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\A\\"), "C:\\A\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\A\\\\"), "C:\\A\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\A"), "C:\\A");
  EXPECT_EQ(ExcludeTrailingBackslash(""), "");
}

TEST(PathHelpers, FolderPartEndsAtTheLastBackslashOrColon) {
  EXPECT_EQ(ExtractFilePath("D:\\Tolvar.exe"), "D:\\");
  EXPECT_EQ(ExtractFilePath("D:Tolvar.exe"), "D:");
  EXPECT_EQ(ExtractFilePath("C:\\X\\Y\\file.dat"), "C:\\X\\Y\\");
  EXPECT_EQ(ExtractFilePath("file.dat"), "");
  EXPECT_EQ(ExtractFileName("C:\\X\\Y\\file.dat"), "file.dat");
  EXPECT_EQ(ExtractFileName("D:file"), "file");
  EXPECT_EQ(ExtractFileName("C:\\X\\"), "");
  // Multi-byte characters never look like separators.
  EXPECT_EQ(ExtractFileName("C:\\Program Files\\Průvodce\\súbor.txt"), "súbor.txt");
}

TEST(PathHelpers, DeviceNamespacePathsAreToldFromDrivesAndShares) {
  for (const char* device : {"\\\\.\\pipe\\x", "\\\\.\\C:", "//./PhysicalDrive0", "\\\\?\\GLOBALROOT\\Device\\Null",
                             "\\\\?\\globalroot\\x", "\\\\?\\Volume{1}\\a.dat", "\\??\\C:\\a.dat", "\\\\?\\C:", "\\\\?\\pipe\\x"}) {
    EXPECT_TRUE(IsDeviceNamespacePath(device)) << device;
  }
  for (const char* file : {"D:\\DATA\\A.DAT", "\\\\server\\share\\A.DAT", "\\\\?\\D:\\DATA\\A.DAT",
                           "//?/d:/A.DAT", "\\\\?\\UNC\\server\\share\\A.DAT", "relative\\A.DAT", "\\\\", ""}) {
    EXPECT_FALSE(IsDeviceNamespacePath(file)) << file;
  }
}

TEST(PathString, StoresAtMost255Characters) {
  const std::string folder = "C:\\" + std::string(300, 'a');
  const PathString stored(folder);
  EXPECT_EQ(stored.str().size(), 255u);
  EXPECT_EQ(stored.str(), folder.substr(0, 255));

  std::string czech = "C:\\";
  for (int i = 0; i < 260; ++i) czech += "š";
  const PathString cut(czech);
  EXPECT_EQ(CountChars(cut.str()), 255u);
  EXPECT_EQ(cut.str().size(), 3u + 2u * 252u);
}

}  // namespace
}  // namespace tolvar
