// The link of a signature that the program checks itself (Wine's trust
// provider does not): the signed attributes' message digest against the signed
// content. Windows' checks of a whole file run under Wine (signing.sh).
#include "platform/Authenticode.h"

#include <gtest/gtest.h>

#include "platform/Sha256.h"

namespace tolvar {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Der(unsigned char tag, const Bytes& value) {
  Bytes der;
  der.reserve(value.size() + 4);
  der.push_back(tag);
  if (value.size() < 0x80) {
    der.push_back(static_cast<unsigned char>(value.size()));
  } else {
    der.push_back(0x82);
    der.push_back(static_cast<unsigned char>(value.size() >> 8));
    der.push_back(static_cast<unsigned char>(value.size()));
  }
  der.insert(der.end(), value.begin(), value.end());
  return der;
}

Bytes DigestOf(const Bytes& bytes) {
  Sha256 sha;
  sha.Update(bytes.data(), bytes.size());
  const Sha256Digest digest = sha.Finish();
  return {digest.begin(), digest.end()};
}

TEST(MessageDigest, VouchesForTheContentsValueAndNothingElse) {
  for (const std::size_t size : {std::size_t{5}, std::size_t{300}}) {  // short and long DER lengths
    SCOPED_TRACE(size);
    const Bytes value(size, 0x5A);
    const Bytes content = Der(0x30, value);
    EXPECT_TRUE(MessageDigestMatches(content, Der(0x04, DigestOf(value))));
    // A digest of the whole encoding, tag and length included, is not the one.
    EXPECT_FALSE(MessageDigestMatches(content, Der(0x04, DigestOf(content))));
    Bytes other = value;
    other.back() ^= 1;
    EXPECT_FALSE(MessageDigestMatches(Der(0x30, other), Der(0x04, DigestOf(value))));
    // Encodings that do not say what they hold.
    Bytes cut = content;
    cut.pop_back();
    EXPECT_FALSE(MessageDigestMatches(cut, Der(0x04, DigestOf(value))));
    EXPECT_FALSE(MessageDigestMatches(content, Der(0x05, DigestOf(value))));
    EXPECT_FALSE(MessageDigestMatches(Der(0x31, value), Der(0x04, DigestOf(value))));
  }
  EXPECT_FALSE(MessageDigestMatches({}, {}));
}

TEST(MessageDigest, SignersAreTheSameOnlyByTheirCertificatesBytes) {
  const FileSignature a{SignatureState::Valid, {1, 2, 3}};
  EXPECT_TRUE(SameSigner(a, FileSignature{SignatureState::Valid, {1, 2, 3}}));
  EXPECT_FALSE(SameSigner(a, FileSignature{SignatureState::Valid, {1, 2, 4}}));
  EXPECT_FALSE(SameSigner(a, FileSignature{SignatureState::Invalid, {1, 2, 3}}));
  EXPECT_FALSE(SameSigner(FileSignature{SignatureState::Valid, {}}, FileSignature{SignatureState::Valid, {}}));
}

}  // namespace
}  // namespace tolvar
