// SHA-256 (FIPS 180-4): a digest of a file's contents, to tell whether the file
// is still what was written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvar {

using Sha256Digest = std::array<std::uint8_t, 32>;

// Who does the arithmetic: the processor's SHA instructions where it has them
// (x86 SHA extensions, about seven times as fast), or portable code.
enum class Sha256Engine { Fastest, Portable };

class Sha256 {
 public:
  explicit Sha256(Sha256Engine engine = Sha256Engine::Fastest);
  void Update(const void* data, std::size_t size);
  // The digest of everything given; the object is spent afterwards.
  Sha256Digest Finish();

  // True when this processor has the SHA instructions.
  static bool ProcessorHasShaInstructions();

 private:
  void Compress(const std::uint8_t* blocks, std::size_t count);

  bool fast_;

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t blockUsed_ = 0;
  std::uint64_t totalBytes_ = 0;
};

// The digest as 64 lower-case hexadecimal digits.
std::string ToHex(const Sha256Digest& digest);

}  // namespace tolvar
