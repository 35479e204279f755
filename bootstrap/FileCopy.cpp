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
  std::size_t countRead = 0;
  std::size_t countWritten = 0;
  do {
    countRead = source.Read(buffer.data(), buffer.size());
    countWritten = countRead == 0 ? 0 : target.Write(buffer.data(), countRead);
    if (progress.report) {
      bytesWritten += static_cast<std::int64_t>(countWritten);
      const std::uint8_t percent = CopyPercent(bytesWritten, sourceSize);
      if (percent >= lastReported && percent - lastReported >= progress.step) {
        progress.report(percent);
        lastReported = percent;
      }
    }
    if (progress.afterBlock) progress.afterBlock();
  } while (countRead != 0 && countWritten == countRead);
  return countRead > 0 && countWritten != countRead ? BlockCopyResult::ShortWrite : BlockCopyResult::Complete;
}

}  // namespace tolvar
