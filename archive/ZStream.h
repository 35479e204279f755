// A read-only stream that inflates zlib-format data (2-byte header, deflate data,
// Adler-32 trailer) which it reads from another stream, the source.
//
// It reads the source ahead in 65536-byte blocks, yet when the zlib stream ends it
// moves the source back over the input it did not consume, so the source stands
// on the first byte after the compressed data. That is what lets the archive
// reader take one member after another from a single file without knowing any
// member's compressed length.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Error.h"
#include "platform/Stream.h"

namespace tolvar {

// A zlib failure, with zlib's result code (0 when built from a text alone).
class EZLibError : public Error {
 public:
  explicit EZLibError(int code);
  explicit EZLibError(const std::string& message) : Error(message), code_(0) {}
  int ErrorCode() const noexcept { return code_; }

 private:
  int code_;
};

// What the decompression stream raises.
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

// The text of a zlib result code ("data error" for -3 ...); empty outside 2..-6.
std::string ZLibErrorText(int code);

// The message of write attempts and invalid seeks.
inline constexpr char kInvalidZStreamOperation[] = "Invalid ZStream operation!";

// State shared by compressed streams: the source, where it must stand for the
// next read, the zlib record and the input block.
class TCustomZStream : public Stream {
 public:
  static constexpr std::size_t kInputBufferSize = 65536;

  // Called after every refill of the input block, with this stream as sender.
  std::function<void(Stream& sender)> OnRefill;

 protected:
  explicit TCustomZStream(Stream& source);

  // The refill notification; calls OnRefill when it is set.
  virtual void DoProgress();

  Stream& source_;                      // not owned
  std::int64_t savedSourcePosition_;    // where the source must stand for the next read
  z_stream zstream_{};                  // next_in/avail_in: the unconsumed part of the block
  unsigned char inputBuffer_[kInputBufferSize];
};

class TZDecompressionStream final : public TCustomZStream {
 public:
  // Starts at the source's current position, which must be the first byte of a
  // zlib stream. Raises EZDecompressionError when zlib cannot be set up.
  explicit TZDecompressionStream(Stream& source);
  ~TZDecompressionStream() override;

  // Delivers the full count until the zlib stream ends; only the read in which it
  // ends delivers less, and every later read delivers 0. Corrupt data raises
  // EZDecompressionError; a stream that asks for a preset dictionary raises
  // "need dictionary". A source that ends early is no error here: the reads
  // deliver what could be inflated, then 0 (see StreamEnded).
  std::size_t Read(void* buffer, std::size_t count) override;

  // Always raises "Invalid ZStream operation!".
  std::size_t Write(const void* buffer, std::size_t count) override;

  // Only forward: rewind (0 from the beginning), forward moves from the current
  // position or from the beginning (by reading and discarding in 8192-byte
  // pieces), and 0 from the end (read to the end). Anything else raises "Invalid
  // ZStream operation!". Returns the number of bytes delivered so far.
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

  // Passes zero and positive zlib results through; raises for negative ones.
  static int CheckInflate(int result);

  // True once the zlib stream's end (its checked trailer) has been read.
  bool StreamEnded() const noexcept { return ended_; }

 private:
  void Rewind();
  void Discard(std::int64_t count);

  std::int64_t delivered_ = 0;  // bytes delivered since construction or rewind
  bool ended_ = false;
};

}  // namespace tolvar
