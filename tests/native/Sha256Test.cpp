#include "platform/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvar {
namespace {

std::string DigestOf(const std::string& text, Sha256Engine engine = Sha256Engine::Fastest) {
  Sha256 sha(engine);
  sha.Update(text.data(), text.size());
  return ToHex(sha.Finish());
}

TEST(Sha256Test, TheStandardsExamplesWithEitherEngine) {
  for (const Sha256Engine engine : {Sha256Engine::Fastest, Sha256Engine::Portable}) {
    EXPECT_EQ(DigestOf("", engine), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(DigestOf("abc", engine), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", engine),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(DigestOf(std::string(1000000, 'a'), engine),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  }
}

TEST(Sha256Test, TheProcessorsInstructionsAgreeWithThePortableCode) {
  if (!Sha256::ProcessorHasShaInstructions()) GTEST_SKIP() << "this processor has no SHA instructions";
  std::string text;
  std::uint32_t seed = 12345;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    text += static_cast<char>(seed >> 24);
  }
  for (std::size_t length = 0; length < text.size(); length += 61) {
    ASSERT_EQ(DigestOf(text.substr(0, length)), DigestOf(text.substr(0, length), Sha256Engine::Portable)) << length;
  }
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
