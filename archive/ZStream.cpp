#include "archive/ZStream.h"

#include <algorithm>
#include <climits>

namespace tolvar {
namespace {

// Forward seeks read and discard in pieces of this size.
constexpr std::size_t kDiscardPiece = 8192;

// zlib counts in unsigned int; larger reads are fed to it in pieces.
constexpr std::size_t kMaxInflatePiece = std::size_t{1} << 30;

}  // namespace

std::string ZLibErrorText(int code) {
  switch (code) {
    case Z_NEED_DICT: return "need dictionary";
    case Z_STREAM_END: return "stream end";
    case Z_OK: return "ok";
    case Z_ERRNO: return "file error";
    case Z_STREAM_ERROR: return "stream error";
    case Z_DATA_ERROR: return "data error";
    case Z_MEM_ERROR: return "insufficient memory";
    case Z_BUF_ERROR: return "buffer error";
    case Z_VERSION_ERROR: return "incompatible version";
    default: return {};
  }
}

EZLibError::EZLibError(int code) : Error(ZLibErrorText(code)), code_(code) {}

TCustomZStream::TCustomZStream(Stream& source)
    : source_(source), savedSourcePosition_(source.Position()) {
  zstream_.next_in = inputBuffer_;
  zstream_.avail_in = 0;
  // zalloc, zfree and opaque stay null: zlib's own allocation.
}

void TCustomZStream::DoProgress() {
  if (OnRefill) OnRefill(*this);
}

TZDecompressionStream::TZDecompressionStream(Stream& source) : TCustomZStream(source) {
  // The zlib format with a window of up to 32 KB: neither raw deflate nor gzip.
  CheckInflate(inflateInit_(&zstream_, ZLIB_VERSION, static_cast<int>(sizeof(z_stream))));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&zstream_); }

int TZDecompressionStream::CheckInflate(int result) {
  if (result < 0) throw EZDecompressionError(result);
  return result;
}

std::size_t TZDecompressionStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t remaining = count;

  // Others may have moved the source since the last read.
  if (source_.Position() != savedSourcePosition_) source_.Seek(savedSourcePosition_, SeekOrigin::Begin);

  int result = Z_OK;
  while (remaining > 0 && result != Z_STREAM_END) {
    if (zstream_.avail_in == 0) {
      const std::size_t got = source_.Read(inputBuffer_, kInputBufferSize);
      if (got == 0) return count - remaining;  // the source has ended
      zstream_.next_in = inputBuffer_;
      zstream_.avail_in = static_cast<uInt>(got);
      savedSourcePosition_ = source_.Position();
      DoProgress();
    }
    const std::size_t piece = std::min(remaining, kMaxInflatePiece);
    zstream_.next_out = out;
    zstream_.avail_out = static_cast<uInt>(piece);
    result = CheckInflate(inflate(&zstream_, Z_NO_FLUSH));
    const std::size_t produced = piece - zstream_.avail_out;
    out += produced;
    remaining -= produced;
    delivered_ += static_cast<std::int64_t>(produced);
    // No dictionary can be supplied: asking again would loop for ever.
    if (result == Z_NEED_DICT) throw EZDecompressionError(Z_NEED_DICT);
  }

  if (result == Z_STREAM_END) {
    ended_ = true;
    if (zstream_.avail_in > 0) {
      // Hand the read-ahead that belongs to whatever follows back to the source.
      savedSourcePosition_ = source_.Seek(-static_cast<std::int64_t>(zstream_.avail_in), SeekOrigin::Current);
      zstream_.avail_in = 0;
    }
  }
  return count - remaining;
}

std::size_t TZDecompressionStream::Write(const void*, std::size_t) {
  throw EZDecompressionError(kInvalidZStreamOperation);
}

void TZDecompressionStream::Rewind() {
  CheckInflate(inflateReset(&zstream_));
  zstream_.next_in = inputBuffer_;
  zstream_.avail_in = 0;
  // The compressed data is assumed to start at the source's beginning.
  source_.Seek(0, SeekOrigin::Begin);
  savedSourcePosition_ = 0;
  delivered_ = 0;
  ended_ = false;
}

void TZDecompressionStream::Discard(std::int64_t count) {
  unsigned char piece[kDiscardPiece];
  for (std::int64_t i = count / static_cast<std::int64_t>(kDiscardPiece); i > 0; --i) ReadBuffer(piece, kDiscardPiece);
  ReadBuffer(piece, static_cast<std::size_t>(count % static_cast<std::int64_t>(kDiscardPiece)));
}

std::int64_t TZDecompressionStream::Seek(std::int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::Begin && offset == 0) {
    Rewind();
  } else if ((origin == SeekOrigin::Current && offset >= 0) ||
             (origin == SeekOrigin::Begin && offset > delivered_)) {
    const std::int64_t forward = origin == SeekOrigin::Begin ? offset - delivered_ : offset;
    if (forward > 0) Discard(forward);
  } else if (origin == SeekOrigin::End && offset == 0) {
    unsigned char piece[kDiscardPiece];
    while (Read(piece, kDiscardPiece) > 0) {
    }
  } else {
    throw EZDecompressionError(kInvalidZStreamOperation);
  }
  return delivered_;
}

}  // namespace tolvar
