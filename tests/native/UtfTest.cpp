#include "platform/Utf.h"

#include <gtest/gtest.h>

namespace tolvar {
namespace {

// "Připravuji" with ř (U+0159) and a character outside the basic plane (U+1F4BF).
constexpr char kCzech[] = "Připravuji";
constexpr char kDisc[] = "\xF0\x9F\x92\xBF";

TEST(Utf, CzechAndAstralCharactersSurviveTheRoundTrip) {
  const std::string text = std::string(kCzech) + kDisc;
  const std::u16string wide = Utf8ToU16(text);
  ASSERT_EQ(wide.size(), 10u + 2u);  // the astral character is a surrogate pair
  EXPECT_EQ(wide[1], u'\u0159');
  EXPECT_EQ(wide[10], 0xD83D);
  EXPECT_EQ(wide[11], 0xDCBF);
  EXPECT_EQ(U16ToUtf8(wide), text);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  // A lone continuation byte, an overlong '/', a truncated sequence, an encoded surrogate.
  EXPECT_EQ(Utf8ToU16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToU16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToU16("x\xE2\x82"), u"x\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToU16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  // An unpaired surrogate on the way back.
  EXPECT_EQ(U16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"), "\xEF\xBF\xBD" "a");
}

TEST(ShortText, CountsAndCutsByCharactersNeverInsideOne) {
  EXPECT_EQ(CountChars(kCzech), 10u);
  EXPECT_EQ(CountChars(kDisc), 1u);

  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "ř";  // 300 x ř, 600 bytes
  const std::string cut = CutToChars(longText, 255);
  EXPECT_EQ(CountChars(cut), 255u);
  EXPECT_EQ(cut.size(), 510u);
  EXPECT_EQ(U16ToUtf8(Utf8ToU16(cut)), cut);  // still well-formed

  EXPECT_EQ(CutToChars("abc", 255), "abc");
  EXPECT_EQ(CutToChars(std::string("ab") + kDisc + "cd", 3), std::string("ab") + kDisc);
}

TEST(ShortText, IntToStr) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(2147483648LL), "2147483648");
}

}  // namespace
}  // namespace tolvar
