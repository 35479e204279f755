#include "platform/Authenticode.h"

#include <algorithm>
#include <optional>

#include "platform/Der.h"
#include "platform/Sha256.h"

namespace tolvar {
namespace {

// The value of the one DER element that `der` holds, when it has the given tag;
// nullopt when it is another element, is cut short or has bytes after it.
std::optional<std::span<const unsigned char>> DerValue(std::span<const unsigned char> der, unsigned char tag) {
  const auto element = NextDerElement(der);
  if (!element || element->tag != tag || !der.empty()) return std::nullopt;
  return element->value;
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
