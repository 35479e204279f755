// A read-only Stream over another one that fetches a chunk at a time and hands
// it out in the sizes its reader asks for. A loop that moves small blocks then
// makes one call to the stream below per chunk instead of one per block: each
// such call is a system call (under Wine a trip through its file layer), and on
// the copy step's 2048-byte blocks the reads were a third of the copy's time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Stream.h"

namespace tolvar {

class ReadAheadStream final : public Stream {
 public:
  // 64 KiB: 32 copy blocks, the size the archive reader fetches its input in.
  static constexpr std::size_t kDefaultChunk = 65536;

  // `source` must outlive this stream; the chunk buffer is allocated here, once.
  explicit ReadAheadStream(Stream& source, std::size_t chunk = kDefaultChunk);

  // Up to `count` bytes of what was fetched; a new chunk is fetched only when
  // none is left, so a read never waits on more than one call below, and a short
  // read below shows as a short read here. A request of a chunk or more with
  // nothing fetched goes straight to the stream below.
  std::size_t Read(void* buffer, std::size_t count) override;
  // Read-only: accepts nothing.
  std::size_t Write(const void* buffer, std::size_t count) override;
  // Positions are the reader's: what it has read, not what was fetched. Asking
  // for the position keeps the fetched bytes; any move drops them.
  std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;

 private:
  Stream& source_;
  std::vector<unsigned char> chunk_;
  std::size_t next_ = 0;  // the first fetched byte not yet read
  std::size_t end_ = 0;   // one past the last fetched byte
};

}  // namespace tolvar
