#include "archive/ZLibFce.h"

#include <memory>
#include <vector>

#include "archive/ZStream.h"

namespace tolvar {

void CopyDecompressed(Stream& source, Stream& destination, const TNotifyEvent& notify,
                      std::optional<std::int64_t> recordedSize) {
  // The stream holds its 64 KB input block; keep it off the caller's stack.
  auto unpacker = std::make_unique<TZDecompressionStream>(source);
  std::vector<unsigned char> chunk(kChunkSize);
  std::int64_t written = 0;
  for (;;) {
    const std::size_t count = unpacker->Read(chunk.data(), chunk.size());
    if (count == 0) break;
    // `written` never passes a recorded size, so the difference cannot overflow.
    if (recordedSize && static_cast<std::int64_t>(count) > *recordedSize - written) {
      throw EZDecompressionError("the member inflates to more than its recorded size");
    }
    if (notify) notify(*unpacker);
    if (destination.Write(chunk.data(), count) != count) throw EShortWriteError();
    written += static_cast<std::int64_t>(count);
  }
  // The archive ended inside the member: a damaged archive, never a whole file.
  if (!unpacker->StreamEnded()) throw EZDecompressionError("unexpected end of compressed data");
  if (recordedSize && written != *recordedSize) {
    throw EZDecompressionError("the member inflates to less than its recorded size");
  }
}

}  // namespace tolvar
