#include "platform/Der.h"

#include <array>
#include <vector>

#include "platform/Utf.h"

namespace tolvar {
namespace {

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kSet = 0x31;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kVersionTag = 0xA0;
constexpr std::array<unsigned char, 3> kCommonNameOid = {0x55, 0x04, 0x03};  // 2.5.4.3

// A directory string as UTF-8: UTF-8, printable, IA5 and teletex (taken as
// Latin-1) strings, and BMP strings (UTF-16, big-endian).
std::string DirectoryString(const DerElement& element) {
  switch (element.tag) {
    case 0x0C:
    case 0x13:
    case 0x16:
      return {element.value.begin(), element.value.end()};
    case 0x14: {
      std::u16string latin1(element.value.begin(), element.value.end());
      return U16ToUtf8(latin1);
    }
    case 0x1E: {
      std::u16string units;
      for (std::size_t i = 0; i + 1 < element.value.size(); i += 2) {
        units += static_cast<char16_t>(element.value[i] << 8 | element.value[i + 1]);
      }
      return U16ToUtf8(units);
    }
    default:
      return {};
  }
}

}  // namespace

std::optional<DerElement> NextDerElement(std::span<const unsigned char>& der) {
  if (der.size() < 2) return std::nullopt;
  std::size_t header = 2;
  std::size_t length = der[1];
  if (length & 0x80) {
    const std::size_t octets = length & 0x7F;
    if (octets == 0 || octets > 4 || der.size() < 2 + octets) return std::nullopt;
    length = 0;
    for (std::size_t i = 0; i < octets; ++i) length = length << 8 | der[2 + i];
    header += octets;
  }
  if (length > der.size() - header) return std::nullopt;
  DerElement element{der[0], der.first(header + length), der.subspan(header, length)};
  der = der.subspan(header + length);
  return element;
}

std::string CertificateCommonName(std::span<const unsigned char> certificate) {
  const auto outer = NextDerElement(certificate);
  if (!outer || outer->tag != kSequence) return {};
  std::span<const unsigned char> body = outer->value;
  const auto signedPart = NextDerElement(body);
  if (!signedPart || signedPart->tag != kSequence) return {};
  // version (optional), serial number, signature algorithm, issuer, validity, subject
  std::span<const unsigned char> fields = signedPart->value;
  std::vector<DerElement> parts;
  while (const auto part = NextDerElement(fields)) parts.push_back(*part);
  const std::size_t subjectAt = !parts.empty() && parts[0].tag == kVersionTag ? 5 : 4;
  if (parts.size() <= subjectAt || parts[subjectAt].tag != kSequence) return {};
  std::span<const unsigned char> names = parts[subjectAt].value;
  while (const auto relative = NextDerElement(names)) {
    if (relative->tag != kSet) continue;
    std::span<const unsigned char> attributes = relative->value;
    while (const auto attribute = NextDerElement(attributes)) {
      std::span<const unsigned char> pair = attribute->value;
      const auto type = NextDerElement(pair);
      const auto value = NextDerElement(pair);
      if (type && value && type->tag == kObjectId &&
          std::equal(type->value.begin(), type->value.end(), kCommonNameOid.begin(), kCommonNameOid.end())) {
        return DirectoryString(*value);
      }
    }
  }
  return {};
}

}  // namespace tolvar
