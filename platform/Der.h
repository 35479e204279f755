// Reading DER (the encoding of certificates and signatures) element by
// element, for the few fields the program looks at itself.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace tolvar {

struct DerElement {
  unsigned char tag = 0;
  std::span<const unsigned char> whole;  // tag, length and value
  std::span<const unsigned char> value;
};

// The element at the start of `der`, which then starts after it; nothing when
// the encoding does not say what it holds.
std::optional<DerElement> NextDerElement(std::span<const unsigned char>& der);

// The subject's common name (CN) of a certificate (DER), as UTF-8; empty when
// it has none that can be read.
std::string CertificateCommonName(std::span<const unsigned char> certificate);

}  // namespace tolvar
