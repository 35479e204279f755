// The block loop of the file copy, apart from files, messages and windows: it
// moves bytes from one stream to another in 2048-byte blocks and works out the
// copied percentage, so the arithmetic and the short-write rule are tested
// natively. CopyFileWithProgress (FileCopy_win.h) runs it over real files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/Stream.h"

namespace tolvar {

// The transfer buffer: fixed, one per copy, never reallocated.
inline constexpr std::size_t kCopyBlockSize = 2048;

// The whole percentage of `written` out of `size`: the quotient first, then the
// product with 100, in extended precision, truncated towards zero. An empty source
// (size 0) is complete, so it counts as 100; more than `size` bytes also count as
// 100, as a percentage never exceeds it.
std::uint8_t CopyPercent(std::int64_t written, std::int64_t size);

enum class BlockCopyResult {
  Complete,       // a read delivered nothing, and the source's whole size arrived
  ShortWrite,     // the target accepted fewer bytes than the last block held
  ReadFailed,     // the device failed a read of the source
  SourceChanged,  // the source ended before its size, or grew beyond it
};

// Progress reporting of one copy. `report` is called with the whole percentage
// each time it has grown by at least `step` points since the last report (the
// copy starts from a report of 0 that the caller makes itself); without `report`
// nothing is counted. `afterBlock` runs after every block, e.g. to pump messages.
struct BlockCopyProgress {
  std::function<void(std::uint8_t percent)> report;
  std::uint8_t step = 0;
  std::function<void()> afterBlock;
};

// Copies `source` to `target` block by block: read up to 2048 bytes, write exactly
// what was read, count and report, run afterBlock; stop when a read delivers
// nothing, a block is written short, a read fails, or more than `sourceSize`
// bytes (the size taken when the source was opened) have arrived. Only a copy of
// exactly `sourceSize` bytes is complete. Bytes written before a failure stay in
// the target.
BlockCopyResult CopyBlocks(Stream& source, Stream& target, std::int64_t sourceSize, const BlockCopyProgress& progress);

}  // namespace tolvar
