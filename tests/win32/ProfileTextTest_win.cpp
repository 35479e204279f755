// The archive tool reads tolvar.def with its own reader (ProfileText), so that
// it reads it in the code page of the systems a medium is for; here it is held
// to the system's private-profile reader, which Tolvar.exe uses (ProfileFile),
// on the same files, in the system's ANSI code page: the same sections, keys and
// values for every way a file may be written. Where Wine's reader is known to
// differ from Windows' (a UTF-8 byte-order mark, big-endian UTF-16), the tool
// follows Windows, and the test says what Wine does.
#include <gtest/gtest.h>

#include <algorithm>

#include "bootstrap/ProfileFile_win.h"
#include "tests/support/HostLinks_win.h"
#include "tests/support/Scratch_win.h"
#include "tools/zl32/ProfileText.h"

namespace tolvar {
namespace {

struct ProfileCase {
  const char* name;
  std::string bytes;
};

std::string Utf16(std::u16string_view text, bool bigEndian = false) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// Everything the copy step reads of a file, in one text.
template <typename Reader>
std::string WhatIsRead(const Reader& file) {
  std::string read = "keys:";
  for (const std::string& key : file.ReadKeys("CopyFiles")) read += " [" + key + "]";
  for (const char* key : {"Count", "From1", "To1", "SrcDisk", "From2"}) {
    read += std::string("\n") + key + "=[" + file.ReadString("CopyFiles", key, "(absent)") + "]";
  }
  return read;
}

TEST(ProfileText, ReadsWhatTheSystemsReaderReads) {
  const ProfileCase cases[] = {
      {"crlf", "[CopyFiles]\r\nCount=2\r\nFrom1=%s\\DATA\\A.DAT\r\nTo1=C.DAT\r\nSrcDisk=1\r\n"},
      {"lf", "[CopyFiles]\nCount=2\nFrom1=%s\\DATA\\A.DAT\nTo1=C.DAT\nSrcDisk=1\n"},
      {"cr", "[CopyFiles]\rCount=2\rFrom1=%s\\DATA\\A.DAT\r"},
      {"last line without its end", "[CopyFiles]\r\nCount=2"},
      {"utf16 little-endian", "\xFF\xFE" + Utf16(u"[CopyFiles]\r\nCount=2\r\nFrom1=%s\\DATA\\Účet.txt\r\n")},
      {"letter case", "[copyfiles]\r\ncount=3\r\nFROM1=z\r\n"},
      {"blanks and quotes",
       "  [ CopyFiles ]  \r\n\tCount =\t2 \r\nFrom1 = \"%s\\A B.DAT\" \r\nTo1='x'\r\nSrcDisk=\"2\r\nFrom2=\" a \"\r\n"},
      {"lone quotes", "[CopyFiles]\r\nFrom1=\"\r\nTo1=\"a'\r\nCount='3'\r\nSrcDisk=\"\"\r\n"},
      {"comments", "[CopyFiles]\r\n;Count=5\r\n  ;From1=no\r\nCount=2 ; two\r\n# From1=hash\r\nFrom1=a;b\r\n"},
      {"written twice", "[CopyFiles]\r\nCount=1\r\nCount=2\r\nFrom1=first\r\n[Other]\r\nx=1\r\n[copyfiles]\r\n"
                        "From1=second\r\nTo1=third\r\n"},
      {"broken headers", "Count=5\r\n[CopyFiles\r\nCount=2\r\n[CopyFiles]x\r\nFrom1=y\r\n[Broken\r\nTo1=z\r\n"},
      {"brackets inside", "[Copy]Files]\r\nCount=1\r\n[CopyFiles]\r\nFrom1=a\r\n"},
      {"lines without =", "[CopyFiles]\r\nCount\r\nFrom1=a\r\nTo1=\r\n"},
      {"a key without a name", "[CopyFiles]\r\nFrom1=a\r\n=value\r\nTo1=b\r\n"},
      {"a late NUL", "[CopyFiles]\r\nCount=2\r\nFrom1=abc\r\nTo1=x" + std::string(1, '\0') + "y\r\nSrcDisk=3\r\n"},
      {"long value", "[CopyFiles]\r\nFrom1=" + std::string(3000, 'x') + "\r\nCount=1\r\n"},
      {"vertical tab and form feed", "[CopyFiles]\r\n\vCount=2\f\r\nFrom1=\va\v\r\n"},
      {"8-bit text", "[CopyFiles]\r\nFrom1=%s\\DATA\\\xC8\xE9\xF8.txt\r\n"},
  };
  test::ScratchFolder scratch("profile text");
  const CodePage& ansi = SystemAnsiCodePage();
  for (const ProfileCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = scratch / (std::string(c.name) + ".def");
    ASSERT_TRUE(test::WriteFileBytes(path, c.bytes));
    EXPECT_EQ(WhatIsRead(zl32::ProfileText(c.bytes, ansi)), WhatIsRead(ProfileFile(path)));
  }
}

TEST(ProfileText, FollowsWindowsWhereWineReadsMore) {
  test::ScratchFolder scratch("profile text marks");
  const CodePage& ansi = SystemAnsiCodePage();
  const std::string utf8Mark = "\xEF\xBB\xBF[CopyFiles]\r\nCount=1\r\nFrom1=%s\\\xC3\x9A\r\n";
  const std::string bigEndian = "\xFE\xFF" + Utf16(u"[CopyFiles]\r\nCount=1\r\n", true);
  for (const auto& [name, bytes] : {std::pair{"utf8 mark", utf8Mark}, std::pair{"utf16 big-endian", bigEndian}}) {
    SCOPED_TRACE(name);
    // Windows reads either as 8-bit text: no section on the first line.
    const zl32::ProfileText tool(bytes, ansi);
    EXPECT_EQ(tool.ReadString("CopyFiles", "Count", "(absent)"), "(absent)");
    EXPECT_TRUE(std::any_of(tool.Remarks().begin(), tool.Remarks().end(), [](const auto& r) { return r.fault; }));
    if (test::RunsUnderWine()) {
      // Wine takes both marks for what they say.
      const std::string path = scratch / (std::string(name) + ".def");
      ASSERT_TRUE(test::WriteFileBytes(path, bytes));
      EXPECT_EQ(ProfileFile(path).ReadString("CopyFiles", "Count", "(absent)"), "1");
    }
  }
}

}  // namespace
}  // namespace tolvar
