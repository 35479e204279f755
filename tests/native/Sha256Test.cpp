#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvar {
namespace {

std::string DigestOf(const std::string& text) {
  Sha256 sha;
  sha.Update(text.data(), text.size());
  return ToHex(sha.Finish());
}

TEST(Sha256Test, TheStandardsExamples) {
  EXPECT_EQ(DigestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(DigestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(DigestOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256Test, PiecesGiveTheDigestOfTheWhole) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 7);
  const std::string whole = DigestOf(text);
  // Lengths around the 56-byte padding edge and the 64-byte block.
  for (const std::size_t cut : {1u, 55u, 56u, 63u, 64u, 65u, 128u, 299u}) {
    Sha256 sha;
    sha.Update(text.data(), cut);
    sha.Update(text.data() + cut, text.size() - cut);
    EXPECT_EQ(ToHex(sha.Finish()), whole) << cut;
  }
  for (const std::size_t length : {55u, 56u, 64u}) EXPECT_NE(DigestOf(text.substr(0, length)), whole);
}

}  // namespace
}  // namespace tolvar
