// Windows: the system's trust provider (WinVerifyTrust, generic verify v2)
// reads the signature through the given handle, compares the file's digest with
// the signed one and verifies the signer's signature; the program then takes the
// signer's certificate from the provider and repeats the one link of the chain
// that Wine leaves out (measured on Wine 8: a signed content swapped for another
// passes its WinVerifyTrust), the signed attributes' message digest. The chain
// of trust is not asked for: an untrusted or expired authority still leaves a
// signature whose digest holds.
#include <windows.h>
// After windows.h:
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <array>
#include <span>
#include <string_view>

#include "platform/Authenticode.h"
#include "platform/DllSafety_win.h"
#include "platform/Utf.h"

namespace tolvar {
namespace {

// The trust functions, from the system folder only: wintrust.dll and crypt32.dll
// are not among the DLLs that Windows always takes from there, and a program
// started from a download folder must not load same-named ones beside it.
class TrustFunctions {
 public:
  TrustFunctions() {
    if (!wintrust_) return;
    verify_ = Find<decltype(&::WinVerifyTrust)>(wintrust_, "WinVerifyTrust");
    providerData_ = Find<decltype(&::WTHelperProvDataFromStateData)>(wintrust_, "WTHelperProvDataFromStateData");
    signer_ = Find<decltype(&::WTHelperGetProvSignerFromChain)>(wintrust_, "WTHelperGetProvSignerFromChain");
    if (crypt32_) messageParam_ = Find<decltype(&::CryptMsgGetParam)>(crypt32_, "CryptMsgGetParam");
  }
  bool Loaded() const { return verify_ && providerData_ && signer_ && messageParam_; }

  LONG Verify(WINTRUST_DATA& data) const {
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    return verify_(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  }
  CRYPT_PROVIDER_DATA* ProviderData(HANDLE state) const { return providerData_(state); }
  CRYPT_PROVIDER_SGNR* FirstSigner(CRYPT_PROVIDER_DATA* data) const { return signer_(data, 0, FALSE, 0); }
  // The signed content, as encoded.
  std::vector<unsigned char> Content(HCRYPTMSG message) const {
    DWORD size = 0;
    if (!messageParam_(message, CMSG_CONTENT_PARAM, 0, nullptr, &size)) return {};
    std::vector<unsigned char> content(size);
    if (!messageParam_(message, CMSG_CONTENT_PARAM, 0, content.data(), &size)) return {};
    content.resize(size);
    return content;
  }

 private:
  template <typename Function>
  static Function Find(const UniqueModule& module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module.get(), name)));
  }

  UniqueModule wintrust_ = LoadSystemLibrary(L"wintrust.dll");
  UniqueModule crypt32_ = LoadSystemLibrary(L"crypt32.dll");
  decltype(&::WinVerifyTrust) verify_ = nullptr;
  decltype(&::WTHelperProvDataFromStateData) providerData_ = nullptr;
  decltype(&::WTHelperGetProvSignerFromChain) signer_ = nullptr;
  decltype(&::CryptMsgGetParam) messageParam_ = nullptr;
};

// Reads `size` bytes at `offset` through the handle.
bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD size) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  return ::ReadFile(file, buffer, size, &got, &at) && got == size;
}

// True when the program file's header names a certificate table (the place of a
// signature), whatever it holds; false for a file that carries none or is no
// program file.
bool HasCertificateTable(HANDLE file) {
  constexpr std::uint64_t kNewHeaderPointer = 0x3C;
  constexpr DWORD kMagicOffset = 24;  // after the signature and the file header
  constexpr WORD kPe32Plus = 0x20B;
  constexpr DWORD kSecurityEntry = 4;
  DWORD header = 0;
  if (!ReadAt(file, kNewHeaderPointer, &header, sizeof header)) return false;
  WORD magic = 0;
  if (!ReadAt(file, std::uint64_t{header} + kMagicOffset, &magic, sizeof magic)) return false;
  const DWORD directories = magic == kPe32Plus ? 112 : 96;  // where the optional header's directories begin
  IMAGE_DATA_DIRECTORY security{};
  return ReadAt(file, std::uint64_t{header} + kMagicOffset + directories + kSecurityEntry * sizeof security, &security,
                sizeof security) &&
         security.Size != 0;
}

// Verdicts of the provider that concern only how far the certificate is trusted,
// not whether the signature holds.
bool OnlyTheChainFailed(LONG result) {
  switch (static_cast<DWORD>(result)) {
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_UNTRUSTEDTESTROOT):
    case static_cast<DWORD>(CERT_E_UNTRUSTEDCA):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(CERT_E_EXPIRED):
    case static_cast<DWORD>(CERT_E_VALIDITYPERIODNESTING):
    case static_cast<DWORD>(CERT_E_REVOCATION_FAILURE):
      return true;
    default:
      return false;
  }
}

// The signer's message-digest attribute (its encoded value), or empty.
std::span<const unsigned char> MessageDigestAttribute(const CMSG_SIGNER_INFO& signer) {
  for (DWORD i = 0; i < signer.AuthAttrs.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = signer.AuthAttrs.rgAttr[i];
    if (std::string_view(attribute.pszObjId) == szOID_PKCS_9_MESSAGE_DIGEST && attribute.cValue == 1) {
      return {attribute.rgValue[0].pbData, attribute.rgValue[0].cbData};
    }
  }
  return {};
}

// What the provider found, once it has looked (its state still open).
FileSignature Judge(const TrustFunctions& trust, LONG result, HANDLE state, HANDLE file) {
  CRYPT_PROVIDER_DATA* data = state ? trust.ProviderData(state) : nullptr;
  if (!data || !data->padwTrustStepErrors) return {};
  const DWORD objectError = data->padwTrustStepErrors[TRUSTERROR_STEP_FINAL_OBJPROV];
  // "No signature" also answers some unreadable ones; only a file without a
  // certificate table is unsigned.
  if (static_cast<DWORD>(result) == static_cast<DWORD>(TRUST_E_NOSIGNATURE) ||
      objectError == static_cast<DWORD>(TRUST_E_NOSIGNATURE)) {
    return {HasCertificateTable(file) ? SignatureState::Invalid : SignatureState::Unsigned, {}};
  }
  if (result != ERROR_SUCCESS && !OnlyTheChainFailed(result)) return {};
  if (objectError != 0 || data->padwTrustStepErrors[TRUSTERROR_STEP_FINAL_SIGPROV] != 0) return {};

  const CRYPT_PROVIDER_SGNR* signer = trust.FirstSigner(data);
  if (!signer || !signer->psSigner || signer->csCertChain == 0 || !signer->pasCertChain[0].pCert) return {};
  if (std::string_view(signer->psSigner->HashAlgorithm.pszObjId) != szOID_NIST_sha256) return {};
  const std::vector<unsigned char> content = trust.Content(data->hMsg);
  if (!MessageDigestMatches(content, MessageDigestAttribute(*signer->psSigner))) return {};

  const CERT_CONTEXT& certificate = *signer->pasCertChain[0].pCert;
  return {SignatureState::Valid, {certificate.pbCertEncoded, certificate.pbCertEncoded + certificate.cbCertEncoded}};
}

}  // namespace

FileSignature CheckFileSignature(std::intptr_t nativeFile, const std::string& path) {
  const TrustFunctions trust;
  if (!trust.Loaded()) return {};
  const std::wstring widePath = Utf8ToUtf16(path);
  const auto file = reinterpret_cast<HANDLE>(nativeFile);

  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof fileInfo;
  fileInfo.pcwszFilePath = widePath.c_str();
  fileInfo.hFile = file;
  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  // Nothing is fetched from the network: the run may be offline, and the chain
  // is not what is asked.
  data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
  const LONG result = trust.Verify(data);
  FileSignature signature = Judge(trust, result, data.hWVTStateData, file);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  trust.Verify(data);
  return signature;
}

}  // namespace tolvar
