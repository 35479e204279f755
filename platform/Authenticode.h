// Authenticode signatures of program files: does a file carry one, does it hold
// (the file's digest is the signed one and the signer's signature over it
// verifies), and which certificate made it. Whether the certificate's authority
// is trusted is deliberately not judged: callers compare certificates, so a
// throwaway authority counts like any other and nothing depends on what the
// machine happens to trust.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tolvar {

enum class SignatureState {
  Unsigned,  // the file carries no signature at all
  Valid,     // the file's digest matches the signed one, and the signature verifies
  Invalid,   // a signature that does not hold, cannot be read, or cannot be checked
};

struct FileSignature {
  SignatureState state = SignatureState::Invalid;
  // The signer's certificate as encoded (DER); empty unless the signature is valid.
  std::vector<unsigned char> signerCertificate;
};

// Checks the signature of a program file open for reading as `nativeFile` (a
// Win32 file HANDLE as an integer, a POSIX descriptor), reading only through
// it, so the file checked is the file held; `path` names it for the system's
// checks. Windows asks its trust provider; elsewhere the program reads the
// signature itself (OpenSSL), with the same verdicts.
FileSignature CheckFileSignature(std::intptr_t nativeFile, const std::string& path);

// True when both signatures are valid and were made with the same certificate,
// compared byte for byte (never by name).
bool SameSigner(const FileSignature& a, const FileSignature& b);

// True when the signer's message-digest attribute (its DER value, an OCTET
// STRING) is the SHA-256 of the signed content. `content` is the content's DER
// encoding; as PKCS #7 prescribes, its outer tag and length are not hashed.
bool MessageDigestMatches(std::span<const unsigned char> content, std::span<const unsigned char> attributeValue);

}  // namespace tolvar
