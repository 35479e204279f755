#include "platform/MemoryStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tolvar {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (position_ >= size || count == 0) return 0;
  const std::size_t available = static_cast<std::size_t>(size - position_);
  const std::size_t n = std::min(count, available);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  const auto start = static_cast<std::size_t>(position_);
  if (bytes_.size() < start + count) bytes_.resize(start + count, 0);
  std::memcpy(bytes_.data() + start, buffer, count);
  position_ += static_cast<std::int64_t>(count);
  return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = position_;
  if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(bytes_.size());
  if (offset > 0 && base > INT64_MAX - offset) return -1;
  const std::int64_t target = base + offset;
  if (target < 0) return -1;
  position_ = target;
  return position_;
}

}  // namespace tolvar
