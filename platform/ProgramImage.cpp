#include "platform/ProgramImage.h"

#include <array>

namespace tolvar {
namespace {

constexpr std::uint64_t kNewHeaderPointer = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint16_t kExecutableImage = 0x0002;
constexpr std::uint16_t kDll = 0x2000;
// Offsets in the optional header, the same in both of its forms but the last two.
constexpr std::uint64_t kChecksumAt = 64;
constexpr std::uint64_t kSubsystemAt = 68;
constexpr std::uint32_t kCertificateDirectory = 4;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool ProgramImage::IsProgram() const { return (characteristics & kExecutableImage) && !(characteristics & kDll); }

std::optional<ProgramImage> ReadProgramImage(const ReadAt& read) {
  std::array<unsigned char, 4> word{};
  if (!read(0, word.data(), 2) || word[0] != 'M' || word[1] != 'Z') return std::nullopt;
  if (!read(kNewHeaderPointer, word.data(), 4)) return std::nullopt;
  const std::uint64_t header = U32(word.data());
  std::array<unsigned char, 4 + kFileHeaderSize> signature{};
  if (!read(header, signature.data(), signature.size()) || signature[0] != 'P' || signature[1] != 'E' ||
      signature[2] != 0 || signature[3] != 0) {
    return std::nullopt;
  }
  const unsigned char* file = signature.data() + 4;
  ProgramImage image;
  image.machine = U16(file);
  const std::uint16_t optionalSize = U16(file + 16);
  image.characteristics = U16(file + 18);

  const std::uint64_t optional = header + signature.size();
  std::array<unsigned char, 112> fixed{};  // the optional header up to its data directories
  if (optionalSize < 2 || !read(optional, fixed.data(), 2)) return std::nullopt;
  const std::uint16_t magic = U16(fixed.data());
  if (magic != kPe32Magic && magic != kPe32PlusMagic) return std::nullopt;
  image.pe32Plus = magic == kPe32PlusMagic;
  const std::size_t directories = image.pe32Plus ? 112 : 96;
  const std::size_t entry = directories + kCertificateDirectory * 8;
  if (optionalSize < entry + 8 || !read(optional, fixed.data(), directories)) return std::nullopt;
  if (U32(fixed.data() + directories - 4) <= kCertificateDirectory) return std::nullopt;  // too few directories
  image.subsystem = U16(fixed.data() + kSubsystemAt);
  image.checksumOffset = optional + kChecksumAt;
  image.certificateEntryOffset = optional + entry;
  std::array<unsigned char, 8> certificates{};
  if (!read(image.certificateEntryOffset, certificates.data(), certificates.size())) return std::nullopt;
  image.certificateOffset = U32(certificates.data());
  image.certificateSize = U32(certificates.data() + 4);
  return image;
}

std::string MachineName(std::uint16_t machine) {
  switch (machine) {
    case ProgramImage::kMachineX64: return "x86-64";
    case ProgramImage::kMachineX86: return "x86";
    case 0xAA64: return "ARM64";
    case 0x01C4: return "ARM";
    case 0x0200: return "Itanium";
    default: {
      static constexpr char kDigits[] = "0123456789ABCDEF";
      std::string hex;
      for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(machine >> shift) & 15];
      return "machine 0x" + hex;
    }
  }
}

std::string SubsystemName(std::uint16_t subsystem) {
  switch (subsystem) {
    case ProgramImage::kSubsystemGui: return "a window program (GUI)";
    case ProgramImage::kSubsystemConsole: return "a console program";
    default: return "subsystem " + std::to_string(subsystem);
  }
}

}  // namespace tolvar
