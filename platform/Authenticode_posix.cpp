// POSIX: the program's own reading of an Authenticode signature, with
// OpenSSL's libcrypto for the PKCS #7 structure and the signer's key. The same
// verdicts as the Windows twin: the file's image digest (the whole file but its
// checksum, its certificate table entry and the table) must be the one the
// signed content holds, the signed attributes' message digest must be the
// SHA-256 of that content, and the signer's signature over the signed
// attributes must verify with the key of the signer's certificate. Whether
// that certificate's authority is trusted is not asked, as on Windows.
#include <openssl/asn1.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>
#include <unistd.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/Authenticode.h"
#include "platform/Der.h"
#include "platform/ProgramImage.h"

namespace tolvar {
namespace {

// The Authenticode content type: SpcIndirectDataContent.
constexpr char kIndirectDataOid[] = "1.3.6.1.4.1.311.2.1.4";
constexpr std::uint16_t kSignedDataCertificate = 2;  // WIN_CERT_TYPE_PKCS_SIGNED_DATA
constexpr std::size_t kCertificateHeaderSize = 8;   // dwLength, wRevision, wCertificateType

template <typename T, void (*Free)(T*)>
struct Freer {
  void operator()(T* p) const { Free(p); }
};
using Pkcs7 = std::unique_ptr<PKCS7, Freer<PKCS7, PKCS7_free>>;
using Algorithm = std::unique_ptr<X509_ALGOR, Freer<X509_ALGOR, X509_ALGOR_free>>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, Freer<EVP_MD_CTX, EVP_MD_CTX_free>>;
struct OpenSslFree {
  void operator()(unsigned char* p) const { OPENSSL_free(p); }
};
using OpenSslBytes = std::unique_ptr<unsigned char, OpenSslFree>;

using Bytes = std::span<const unsigned char>;

bool ReadFully(int fd, std::uint64_t offset, void* buffer, std::size_t size) {
  auto* at = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const ssize_t n = pread(fd, at, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The digest that the signed content says the image has, and its algorithm:
// SpcIndirectDataContent ::= SEQUENCE { data SEQUENCE {...},
//   messageDigest SEQUENCE { AlgorithmIdentifier, OCTET STRING } }.
struct SignedImageDigest {
  const EVP_MD* algorithm = nullptr;
  Bytes digest;
};

std::optional<SignedImageDigest> ImageDigestOf(Bytes content) {
  constexpr unsigned char kSequence = 0x30;
  constexpr unsigned char kOctetString = 0x04;
  const auto outer = NextDerElement(content);
  if (!outer || outer->tag != kSequence) return std::nullopt;
  Bytes fields = outer->value;
  const auto data = NextDerElement(fields);
  const auto digestInfo = NextDerElement(fields);
  if (!data || !digestInfo || digestInfo->tag != kSequence) return std::nullopt;
  Bytes parts = digestInfo->value;
  const auto algorithm = NextDerElement(parts);
  const auto digest = NextDerElement(parts);
  if (!algorithm || !digest || digest->tag != kOctetString) return std::nullopt;
  const unsigned char* at = algorithm->whole.data();
  const Algorithm parsed(d2i_X509_ALGOR(nullptr, &at, static_cast<long>(algorithm->whole.size())));
  const EVP_MD* md = parsed ? EVP_get_digestbyobj(parsed->algorithm) : nullptr;
  if (!md) return std::nullopt;
  return SignedImageDigest{md, digest->value};
}

// The file's image digest: every byte but the checksum, the certificate table
// entry and the certificate table itself.
bool ImageDigestMatches(int fd, const ProgramImage& image, std::uint64_t fileSize, const SignedImageDigest& signed_) {
  const std::uint64_t tableEnd = std::uint64_t{image.certificateOffset} + image.certificateSize;
  const std::pair<std::uint64_t, std::uint64_t> ranges[] = {
      {0, image.checksumOffset},
      {image.checksumOffset + 4, image.certificateEntryOffset},
      {image.certificateEntryOffset + 8, image.certificateOffset},
      {tableEnd, fileSize},
  };
  const DigestContext context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), signed_.algorithm, nullptr) != 1) return false;
  std::array<unsigned char, 65536> buffer{};
  for (auto [from, to] : ranges) {
    if (from > to) return false;  // the parts overlap: not an image a signer wrote
    while (from < to) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), to - from));
      if (!ReadFully(fd, from, buffer.data(), n) || EVP_DigestUpdate(context.get(), buffer.data(), n) != 1) {
        return false;
      }
      from += n;
    }
  }
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1) return false;
  return std::equal(digest.begin(), digest.begin() + length, signed_.digest.begin(), signed_.digest.end());
}

// The signer's signature over its signed attributes (encoded as a SET, as
// PKCS #7 signs them), verified with the key of its certificate.
bool SignedAttributesVerify(PKCS7_SIGNER_INFO& signer, X509& certificate) {
  unsigned char* encoded = nullptr;
  const int length =
      ASN1_item_i2d(reinterpret_cast<ASN1_VALUE*>(signer.auth_attr), &encoded, ASN1_ITEM_rptr(PKCS7_ATTR_VERIFY));
  const OpenSslBytes attributes(encoded);
  EVP_PKEY* key = X509_get0_pubkey(&certificate);
  const DigestContext context(EVP_MD_CTX_new());
  if (length <= 0 || !key || !context ||
      EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key) != 1) {
    return false;
  }
  return EVP_DigestVerify(context.get(), signer.enc_digest->data, static_cast<std::size_t>(signer.enc_digest->length),
                          attributes.get(), static_cast<std::size_t>(length)) == 1;
}

// The DER of an octet string, as the attribute's value is encoded.
std::vector<unsigned char> Encoded(const ASN1_OCTET_STRING& value) {
  unsigned char* encoded = nullptr;
  const int length = i2d_ASN1_OCTET_STRING(&value, &encoded);
  const OpenSslBytes owner(encoded);
  if (length <= 0) return {};
  return {encoded, encoded + length};
}

FileSignature Judge(int fd, const ProgramImage& image, std::uint64_t fileSize) {
  const std::uint64_t tableEnd = std::uint64_t{image.certificateOffset} + image.certificateSize;
  if (image.certificateSize < kCertificateHeaderSize || tableEnd > fileSize) return {};
  std::vector<unsigned char> table(image.certificateSize);
  if (!ReadFully(fd, image.certificateOffset, table.data(), table.size())) return {};
  const std::uint32_t length = static_cast<std::uint32_t>(table[0] | table[1] << 8 | table[2] << 16) |
                               static_cast<std::uint32_t>(table[3]) << 24;
  const std::uint16_t type = static_cast<std::uint16_t>(table[6] | table[7] << 8);
  if (type != kSignedDataCertificate || length < kCertificateHeaderSize || length > table.size()) return {};

  const unsigned char* at = table.data() + kCertificateHeaderSize;
  const Pkcs7 message(d2i_PKCS7(nullptr, &at, static_cast<long>(length - kCertificateHeaderSize)));
  if (!message || !PKCS7_type_is_signed(message.get()) || !message->d.sign->contents) return {};
  PKCS7* content = message->d.sign->contents;
  std::array<char, 64> contentType{};
  OBJ_obj2txt(contentType.data(), static_cast<int>(contentType.size()), content->type, 1);
  if (std::string_view(contentType.data()) != kIndirectDataOid || !content->d.other ||
      content->d.other->type != V_ASN1_SEQUENCE) {
    return {};
  }
  const ASN1_STRING* sequence = content->d.other->value.sequence;
  const Bytes contentDer(sequence->data, static_cast<std::size_t>(sequence->length));

  STACK_OF(PKCS7_SIGNER_INFO)* signers = PKCS7_get_signer_info(message.get());
  PKCS7_SIGNER_INFO* signer = signers && sk_PKCS7_SIGNER_INFO_num(signers) > 0 ? sk_PKCS7_SIGNER_INFO_value(signers, 0)
                                                                              : nullptr;
  if (!signer || OBJ_obj2nid(signer->digest_alg->algorithm) != NID_sha256) return {};
  X509* certificate = X509_find_by_issuer_and_serial(message->d.sign->cert, signer->issuer_and_serial->issuer,
                                                     signer->issuer_and_serial->serial);
  const ASN1_OCTET_STRING* messageDigest = PKCS7_digest_from_attributes(signer->auth_attr);
  const auto imageDigest = ImageDigestOf(contentDer);
  if (!certificate || !messageDigest || !imageDigest) return {};

  if (!ImageDigestMatches(fd, image, fileSize, *imageDigest) ||
      !MessageDigestMatches(contentDer, Encoded(*messageDigest)) || !SignedAttributesVerify(*signer, *certificate)) {
    return {};
  }
  unsigned char* encoded = nullptr;
  const int size = i2d_X509(certificate, &encoded);
  const OpenSslBytes owner(encoded);
  if (size <= 0) return {};
  return {SignatureState::Valid, {encoded, encoded + size}};
}

}  // namespace

FileSignature CheckFileSignature(std::intptr_t nativeFile, const std::string&) {
  const int fd = static_cast<int>(nativeFile);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return {};
  const auto image = ReadProgramImage(
      [fd](std::uint64_t offset, void* buffer, std::size_t size) { return ReadFully(fd, offset, buffer, size); });
  if (!image) return {};
  // As on Windows: a file whose header names no certificate table is unsigned.
  if (image->certificateSize == 0) return {SignatureState::Unsigned, {}};
  return Judge(fd, *image, static_cast<std::uint64_t>(info.st_size));
}

}  // namespace tolvar
