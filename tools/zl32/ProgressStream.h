// A stream that tells, after every read, how far into it the reading has come,
// so that a command can draw its progress without the archive code knowing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Stream.h"

namespace tolvar::zl32 {

class ProgressStream final : public Stream {
 public:
  using Moved = std::function<void(std::int64_t position)>;

  // Reads `inner`, which must outlive this stream.
  ProgressStream(Stream& inner, Moved moved) : inner_(inner), moved_(std::move(moved)) { Start(); }
  // Reads `owned` and closes it with this stream.
  ProgressStream(std::unique_ptr<Stream> owned, Moved moved)
      : owned_(std::move(owned)), inner_(*owned_), moved_(std::move(moved)) {
    Start();
  }

  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = inner_.Read(buffer, count);
    position_ += static_cast<std::int64_t>(n);
    if (moved_) moved_(position_);
    return n;
  }
  std::size_t Write(const void* buffer, std::size_t count) override { return inner_.Write(buffer, count); }
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
    const std::int64_t at = inner_.Seek(offset, origin);
    if (at >= 0) position_ = at;
    return at;
  }

 private:
  void Start() { position_ = inner_.Position(); }

  std::unique_ptr<Stream> owned_;
  Stream& inner_;
  Moved moved_;
  std::int64_t position_ = 0;
};

}  // namespace tolvar::zl32
