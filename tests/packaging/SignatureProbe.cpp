// Prints what the program's signature check says of each file named on the
// command line, one line each: "unsigned", "invalid", or "valid" and the SHA-256
// of the signer's certificate as encoded. Used by signing.sh to hold the check
// to what openssl knows of the files, and the POSIX check (this program built
// natively) to the Windows one.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Authenticode.h"
#include "platform/Sha256.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/Handle_win.h"
#include "platform/Utf.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// The file's signature; false when it cannot be opened.
bool Check(const std::string& path, tolvar::FileSignature& signature) {
#ifdef _WIN32
  const tolvar::UniqueFileHandle file(::CreateFileW(tolvar::Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  signature = tolvar::CheckFileSignature(reinterpret_cast<std::intptr_t>(file.get()), path);
#else
  const int file = open(path.c_str(), O_RDONLY);
  if (file < 0) return false;
  signature = tolvar::CheckFileSignature(file, path);
  close(file);
#endif
  return true;
}

int Probe(int argc, const std::string* paths) {
  int status = 0;
  for (int i = 0; i < argc; ++i) {
    tolvar::FileSignature signature;
    if (!Check(paths[i], signature)) {
      std::printf("cannot open\n");
      status = 1;
      continue;
    }
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

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) paths.push_back(tolvar::Utf16ToUtf8(argv[i]));
  return Probe(static_cast<int>(paths.size()), paths.data());
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> paths(argv + 1, argv + argc);
  return Probe(static_cast<int>(paths.size()), paths.data());
}
#endif
