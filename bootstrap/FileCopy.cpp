#include "bootstrap/FileCopy.h"

#include <array>

namespace tolvar {

std::uint8_t CopyPercent(std::int64_t written, std::int64_t size) {
  if (size <= 0 || written >= size) return 100;
  if (written <= 0) return 0;
  const long double quotient = static_cast<long double>(written) / static_cast<long double>(size);
  return static_cast<std::uint8_t>(quotient * 100.0L);
}

BlockCopyResult CopyBlocks(Stream& source, Stream& target, std::int64_t sourceSize, const BlockCopyProgress& progress) {
  std::array<unsigned char, kCopyBlockSize> buffer;
  std::int64_t bytesWritten = 0;
  std::uint8_t lastReported = 0;
  for (;;) {
    std::size_t countRead = 0;
    try {
      countRead = source.Read(buffer.data(), buffer.size());
    } catch (const EStreamReadFailure&) {
      return BlockCopyResult::ReadFailed;  // never the end of the file
    }
    const std::size_t countWritten = countRead == 0 ? 0 : target.Write(buffer.data(), countRead);
    bytesWritten += static_cast<std::int64_t>(countWritten);
    if (progress.report) {
      const std::uint8_t percent = CopyPercent(bytesWritten, sourceSize);
      if (percent >= lastReported && percent - lastReported >= progress.step) {
        progress.report(percent);
        lastReported = percent;
      }
    }
    if (progress.afterBlock) progress.afterBlock();
    if (countWritten != countRead) return BlockCopyResult::ShortWrite;
    // A source that grows meanwhile is stopped here, not copied without end.
    if (bytesWritten > sourceSize) return BlockCopyResult::SourceChanged;
    if (countRead == 0) return bytesWritten == sourceSize ? BlockCopyResult::Complete : BlockCopyResult::SourceChanged;
  }
}

}  // namespace tolvar
