#include "archive/ZLibFce.h"

#include <memory>
#include <vector>

#include "archive/ZStream.h"

namespace tolvar {

void CopyDecompressed(Stream& source, Stream& destination, const TNotifyEvent& notify) {
  // The stream holds its 64 KB input block; keep it off the caller's stack.
  auto unpacker = std::make_unique<TZDecompressionStream>(source);
  std::vector<unsigned char> chunk(kChunkSize);
  for (;;) {
    const std::size_t count = unpacker->Read(chunk.data(), chunk.size());
    if (count == 0) break;
    if (notify) notify(*unpacker);
    if (destination.Write(chunk.data(), count) != count) throw EShortWriteError();
  }
  // The archive ended inside the member: a damaged archive, never a whole file.
  if (!unpacker->StreamEnded()) throw EZDecompressionError("unexpected end of compressed data");
}

}  // namespace tolvar
