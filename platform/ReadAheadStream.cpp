#include "platform/ReadAheadStream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tolvar {

ReadAheadStream::ReadAheadStream(Stream& source, std::size_t chunk) : source_(source), chunk_(std::max<std::size_t>(chunk, 1)) {}

std::size_t ReadAheadStream::Read(void* buffer, std::size_t count) {
  if (count == 0) return 0;
  if (next_ == end_) {
    if (count >= chunk_.size()) return source_.Read(buffer, count);
    next_ = 0;
    end_ = source_.Read(chunk_.data(), chunk_.size());
    if (end_ > chunk_.size()) end_ = 0;  // a stream below that claims more than it could hold delivered nothing
    if (end_ == 0) return 0;
  }
  const std::size_t n = std::min(count, end_ - next_);
  std::memcpy(buffer, chunk_.data() + next_, n);
  next_ += n;
  return n;
}

std::size_t ReadAheadStream::Write(const void*, std::size_t) { return 0; }

std::int64_t ReadAheadStream::Seek(std::int64_t offset, SeekOrigin origin) {
  const auto fetchedAhead = static_cast<std::int64_t>(end_ - next_);
  if (origin == SeekOrigin::Current) {
    const std::int64_t below = source_.Seek(0, SeekOrigin::Current);
    if (below < 0) return below;
    const std::int64_t here = below - fetchedAhead;
    if (offset == 0) return here;
    if (offset > 0 && here > INT64_MAX - offset) return -1;
    offset += here;
    origin = SeekOrigin::Begin;
  }
  next_ = end_ = 0;
  return source_.Seek(offset, origin);
}

}  // namespace tolvar
