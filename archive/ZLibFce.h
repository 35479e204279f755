// Inflating one archive member from the archive stream into an output stream.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/Stream.h"

namespace tolvar {

// A bound notification that takes only its sender; an empty one is skipped.
using TNotifyEvent = std::function<void(Stream& sender)>;

// The size of the chunks in which a member is inflated and written.
inline constexpr std::size_t kChunkSize = 32768;

// Raised when the output accepts fewer bytes than it was given (a full disk).
class EShortWriteError : public EStreamWriteError {};

// Inflates the zlib stream that starts at the source's current position into the
// destination, in chunks of up to 32768 bytes; before each chunk is written,
// notify (if set) is called with the decompression stream as sender. Afterwards
// the source stands on the first byte after the member.
//
// Raises EZDecompressionError for corrupt data and also when the source ends
// before the zlib stream does (everything inflated until then is written first),
// and EShortWriteError when the destination takes less than a whole chunk.
//
// With `recordedSize` (the size the archive's record gives) the member must
// inflate to exactly that many bytes: a chunk that would go beyond it raises
// before it is written, so nothing past the recorded size reaches the
// destination, and a member that ends short of it raises after its last chunk.
void CopyDecompressed(Stream& source, Stream& destination, const TNotifyEvent& notify,
                      std::optional<std::int64_t> recordedSize = std::nullopt);

}  // namespace tolvar
