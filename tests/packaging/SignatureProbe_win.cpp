// Prints what the program's signature check says of each file named on the
// command line, one line each: "unsigned", "invalid", or "valid" and the SHA-256
// of the signer's certificate as encoded. Used by signing.sh to hold the check
// to what openssl knows of the files.
#include <windows.h>

#include <cstdio>

#include "platform/Authenticode.h"
#include "platform/Handle_win.h"
#include "platform/Sha256.h"
#include "platform/Utf.h"

int wmain(int argc, wchar_t** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const tolvar::UniqueFileHandle file(
        ::CreateFileW(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
      std::printf("cannot open\n");
      status = 1;
      continue;
    }
    const tolvar::FileSignature signature =
        tolvar::CheckFileSignature(reinterpret_cast<std::intptr_t>(file.get()), tolvar::Utf16ToUtf8(argv[i]));
    switch (signature.state) {
      case tolvar::SignatureState::Unsigned: std::printf("unsigned\n"); break;
      case tolvar::SignatureState::Invalid: std::printf("invalid\n"); break;
      case tolvar::SignatureState::Valid: {
        tolvar::Sha256 sha;
        sha.Update(signature.signerCertificate.data(), signature.signerCertificate.size());
        std::printf("valid %s\n", tolvar::ToHex(sha.Finish()).c_str());
        break;
      }
    }
  }
  return status;
}
