#include "bootstrap/DefinitionValues.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

TEST(ProfileInteger, DecimalWithBlanksAndSign) {
  EXPECT_EQ(ParseProfileInteger("3", 0), 3);
  EXPECT_EQ(ParseProfileInteger("  42", 0), 42);
  EXPECT_EQ(ParseProfileInteger("+7", 0), 7);
  EXPECT_EQ(ParseProfileInteger("-12", 0), -12);
  EXPECT_EQ(ParseProfileInteger("007", 0), 7);
  EXPECT_EQ(ParseProfileInteger("2147483647", 0), 2147483647);
  EXPECT_EQ(ParseProfileInteger("-2147483648", 0), INT32_MIN);
}

TEST(ProfileInteger, HexadecimalAfterDollarXOrZeroX) {
  EXPECT_EQ(ParseProfileInteger("$10", 0), 16);
  EXPECT_EQ(ParseProfileInteger("x1F", 0), 31);
  EXPECT_EQ(ParseProfileInteger("X1f", 0), 31);
  EXPECT_EQ(ParseProfileInteger("0x2", 0), 2);
  EXPECT_EQ(ParseProfileInteger("0XaB", 0), 171);
  EXPECT_EQ(ParseProfileInteger("-$10", 0), -16);
  EXPECT_EQ(ParseProfileInteger("$FFFFFFFF", 0), -1);  // a 32-bit pattern
  EXPECT_EQ(ParseProfileInteger("$7FFFFFFF", 0), INT32_MAX);
}

TEST(ProfileInteger, AnythingElseGivesTheDefault) {
  for (const char* text : {"", " ", "-", "+", "$", "x", "0x", "abc", "12a", "1 2", "3 ", "1.5", "$G", "0x-1",
                           "2147483648", "-2147483649", "$100000000", "99999999999999999999"}) {
    EXPECT_EQ(ParseProfileInteger(text, 77), 77) << '"' << text << '"';
  }
}

TEST(SourcePattern, OnlyTheFirstPercentSAndDoublePercentAreExpanded) {
  EXPECT_EQ(ExpandSourcePattern("%s\\DATA\\A.DAT", "D:"), "D:\\DATA\\A.DAT");
  EXPECT_EQ(ExpandSourcePattern("C:\\PLAIN.DAT", "D:"), "C:\\PLAIN.DAT");
  EXPECT_EQ(ExpandSourcePattern("%S\\X", "D:"), "D:\\X");
  EXPECT_EQ(ExpandSourcePattern("%s\\100%%.DAT", "D:"), "D:\\100%.DAT");
  EXPECT_EQ(ExpandSourcePattern("%%s", "D:"), "%s");
  // Other directives stay exactly as written; none of them reads an argument.
  EXPECT_EQ(ExpandSourcePattern("%s\\%d\\%x%n%p", "D:"), "D:\\%d\\%x%n%p");
  EXPECT_EQ(ExpandSourcePattern("%s\\%s.DAT", "D:"), "D:\\%s.DAT");
  EXPECT_EQ(ExpandSourcePattern("A%", "D:"), "A%");
  EXPECT_EQ(ExpandSourcePattern("%", "D:"), "%");
  EXPECT_EQ(ExpandSourcePattern("NONE", "D:"), "NONE");
  // The argument itself is never read as a pattern.
  EXPECT_EQ(ExpandSourcePattern("%s\\A", "\\\\srv\\100%s"), "\\\\srv\\100%s\\A");
}

TEST(FromKeys, NumberOfAFromKeyInAnyLetterCase) {
  EXPECT_EQ(FromKeyIndex("From1"), 1);
  EXPECT_EQ(FromKeyIndex("from12"), 12);
  EXPECT_EQ(FromKeyIndex(" FROM3 "), 3);
  EXPECT_EQ(FromKeyIndex("From2147483647"), INT32_MAX);
  for (const char* key : {"From", "From0", "From01", "To1", "Count", "From1x", "Fro1", "From2147483648", "Frém1"}) {
    EXPECT_EQ(FromKeyIndex(key), 0) << key;
  }
}

TEST(DefinitionFileNames, EndAtEverySeparatorWindowsKnows) {
  EXPECT_EQ(DefinitionFileName("C.DAT"), "C.DAT");
  EXPECT_EQ(DefinitionFileName("SUB\\X.DAT"), "X.DAT");
  EXPECT_EQ(DefinitionFileName("D:OTHER.DAT"), "OTHER.DAT");
  EXPECT_EQ(DefinitionFileName("../../../../../escaped.dat"), "escaped.dat");
  EXPECT_EQ(DefinitionFileName("..\\a/b"), "b");
  EXPECT_EQ(DefinitionFileName("D:/DATA\\sub/A.DAT"), "A.DAT");
  EXPECT_EQ(DefinitionFileName("trailing/"), "");  // an empty name: the copy refuses it
  EXPECT_EQ(DefinitionFileName(".."), "..");       // likewise
}

TEST(DiskPrompt, TheDiskNumberTakesThePlaceOfPercentD) {
  EXPECT_EQ(FormatDiskPrompt("Vložte disk %d", 2), "Vložte disk 2");
  EXPECT_EQ(FormatDiskPrompt("Vložte disk %d", -1), "Vložte disk -1");
  EXPECT_EQ(FormatDiskPrompt("Disk", 3), "Disk");
}

}  // namespace
}  // namespace tolvar
