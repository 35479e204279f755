// SHA-256 (FIPS 180-4): a digest of a file's contents, to tell whether the file
// is still what was written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvar {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  void Update(const void* data, std::size_t size);
  // The digest of everything given; the object is spent afterwards.
  Sha256Digest Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> block_{};
  std::size_t blockUsed_ = 0;
  std::uint64_t totalBytes_ = 0;
};

// The digest as 64 lower-case hexadecimal digits.
std::string ToHex(const Sha256Digest& digest);

}  // namespace tolvar
