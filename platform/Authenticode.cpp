#include "platform/Authenticode.h"

#include <algorithm>
#include <optional>

#include "platform/Sha256.h"

namespace tolvar {
namespace {

// The value of the DER element at the start of `der` with the given tag; nullopt
// when the element is not that, or its length does not fit what is there.
std::optional<std::span<const unsigned char>> DerValue(std::span<const unsigned char> der, unsigned char tag) {
  if (der.size() < 2 || der[0] != tag) return std::nullopt;
  std::size_t header = 2;
  std::size_t length = der[1];
  if (length & 0x80) {
    const std::size_t octets = length & 0x7F;
    if (octets == 0 || octets > 4 || der.size() < 2 + octets) return std::nullopt;
    length = 0;
    for (std::size_t i = 0; i < octets; ++i) length = length << 8 | der[2 + i];
    header += octets;
  }
  if (length != der.size() - header) return std::nullopt;
  return der.subspan(header);
}

}  // namespace

bool SameSigner(const FileSignature& a, const FileSignature& b) {
  return a.state == SignatureState::Valid && b.state == SignatureState::Valid && !a.signerCertificate.empty() &&
         a.signerCertificate == b.signerCertificate;
}

bool MessageDigestMatches(std::span<const unsigned char> content, std::span<const unsigned char> attributeValue) {
  constexpr unsigned char kSequence = 0x30;
  constexpr unsigned char kOctetString = 0x04;
  const auto value = DerValue(content, kSequence);
  const auto signedDigest = DerValue(attributeValue, kOctetString);
  if (!value || !signedDigest) return false;
  Sha256 sha;
  sha.Update(value->data(), value->size());
  const Sha256Digest digest = sha.Finish();
  return std::equal(digest.begin(), digest.end(), signedDigest->begin(), signedDigest->end());
}

}  // namespace tolvar
