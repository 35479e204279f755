#include <gtest/gtest.h>

#include "archive/CodePage.h"
#include "archive/EntryName.h"

namespace tolvar {
namespace {

TEST(EntryName, OrdinaryNamesAreSafe) {
  for (const char* name : {"setupostrel.exe", "a", "...a", ".profile", "x y", "CONFIG.SYS", "com0", "LPT10", "nul1",
                           "Průvodce", "a.b.c", "con_", "console"}) {
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  }
}

TEST(EntryName, NamesThatReachElsewhereAreRefused) {
  for (const char* name : {"", ".", "..", "a\\b", "a/b", "C:", "x:y", "a*", "a?", "a\"", "a<", "a>", "a|", "a.", "a ",
                           ".. ", "CON", "con", "Con.txt", "NUL .txt", "aux", "PRN", "COM1", "lpt9", "CONIN$",
                           "conout$", "COM\xC2\xB9", "a\x7F", "a\xC2\x85", "\x1F", "a\xFF", "a\xC3"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
  }
  EXPECT_FALSE(IsSafeEntryName(std::string_view("a\0b", 3)));
  EXPECT_FALSE(IsSafeEntryName("\xED\xA0\x80"));  // an encoded surrogate
  EXPECT_FALSE(IsSafeEntryName("\xC0\xAE"));      // an overlong '.'
}

TEST(CodePage, Code1250RoundTripsCzechAndRefusesTheRest) {
  const CodePage& cp = CodePage1250();
  const std::string czech = "čtěte šťžý €";
  const auto bytes = cp.FromUtf8(czech);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, "\xE8t\xECte \x9A\x9D\x9E\xFD \x80");
  EXPECT_EQ(cp.ToUtf8(*bytes), czech);
  EXPECT_FALSE(cp.FromUtf8("日"));  // a character 1250 cannot hold
  EXPECT_FALSE(cp.FromUtf8("a\xFF"));         // not UTF-8
  EXPECT_FALSE(cp.ToUtf8("\x81"));            // a byte that stands for nothing
  EXPECT_EQ(cp.ToUtf8(std::string_view("\0", 1)), std::string(1, '\0'));
}

TEST(CodePage, OtherCodePagesComeFromTheSystem) {
  EXPECT_EQ(CodePageByNumber(1250)->Number(), 1250u);
  const auto western = CodePageByNumber(1252);
  ASSERT_TRUE(western);
  EXPECT_EQ(western->ToUtf8("\xE9"), "é");
  EXPECT_EQ(western->FromUtf8("ř"), std::nullopt);  // ř is not in 1252
  EXPECT_EQ(CodePageByNumber(99999), nullptr);
}

}  // namespace
}  // namespace tolvar
