#include <gtest/gtest.h>

#include "archive/CodePage.h"
#include "archive/EntryName.h"
#include "archive/WindowsNames.h"

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

// Names as the tools show them: escaped so that nothing passes for a separator or
// reaches the terminal raw, and cut, never inside an escape or a character.
TEST(EntryName, ShownNamesAreEscapedAndCut) {
  EXPECT_EQ(PrintableName("a\x01" "c.txt"), "a\\x01c.txt");
  EXPECT_EQ(PrintableName("a\\b/c"), "a\\x5Cb\\x2Fc");
  EXPECT_EQ(PrintableName("čtěte", true), "čtěte");
  EXPECT_EQ(PrintableName("čt", false), "\\xC4\\x8Dt");
  // Malformed UTF-8 and C1 controls stay escaped even where UTF-8 is kept.
  EXPECT_EQ(PrintableName("a\xFF\xC3", true), "a\\xFF\\xC3");
  EXPECT_EQ(PrintableName("a\xC2\x85", true), "a\\xC2\\x85");
  EXPECT_EQ(PrintableName(std::string(60000, 'a')), std::string(100, 'a') + "[... 59900 more bytes]");
  EXPECT_EQ(PrintableName(std::string(99, 'a') + "\x01", false), std::string(99, 'a') + "[... 1 more byte]");
  EXPECT_EQ(PrintableName(std::string(99, 'a') + "čč", true, 100), std::string(99, 'a') + "č[... 2 more bytes]");
}

// Windows compares names within a folder by their upper case; the table's
// agreement with Windows' own is tested under Windows.
TEST(WindowsNames, LetterCaseDoesNotTellNamesApart) {
  const std::pair<const char*, const char*> same[] = {
      {"Readme.txt", "README.TXT"}, {"Účet.txt", "ÚČET.TXT"}, {"žluťoučký kůň", "ŽLUŤOUČKÝ KŮŇ"},
      {"ÿ", "Ÿ"},                   {"ŀ", "Ŀ"},               {"άλφα", "ΆΛΦΑ"},
      {"ёлка", "ЁЛКА"},             {"ґ", "Ґ"},               {"ｚ", "Ｚ"}};
  for (const auto& [a, b] : same) EXPECT_EQ(WindowsNameKey(a), WindowsNameKey(b)) << a << " " << b;
  const std::pair<const char*, const char*> different[] = {
      {"ß", "SS"}, {"ı", "I"}, {"µ", "Μ"}, {"ς", "Σ"}, {"a", "á"}, {"i", "İ"}, {"Ĳ", "IJ"}};
  for (const auto& [a, b] : different) EXPECT_NE(WindowsNameKey(a), WindowsNameKey(b)) << a << " " << b;
  EXPECT_EQ(WindowsPathLength("C:\\Průvodce\\čtěte.txt"), 21u);
  EXPECT_EQ(WindowsPathLength("\xF0\x9F\x98\x80"), 2u);  // a surrogate pair
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
