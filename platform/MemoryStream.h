// A Stream over a growable block of memory.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Stream.h"

namespace tolvar {

class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  // Positions may lie beyond the end; a write there fills the gap with zeros.
  // A negative position is refused: the position stays and -1 is returned.
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  const std::vector<std::uint8_t>& Bytes() const noexcept { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::int64_t position_ = 0;
};

}  // namespace tolvar
