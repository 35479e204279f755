// The ZLib32 archive format (WIZARD.zl). All integers are little-endian. The file
// is read strictly front to back: there is no table of contents and no field that
// gives a member's compressed length.
//
//   Header, 38 bytes:
//     0  10  signature "ZLib32_DMR" (byte for byte, no terminator)
//    10   4  unused (written as zeros)
//    14   4  progress total, signed 32-bit: the number of 32 KB chunks the whole
//            extraction inflates, the sum over the files of ceil(size / 32768)
//    18  20  unused (written as zeros)
//
//   Entries follow back to back until the end of the file:
//     2 bytes   name length N (unsigned 16-bit)
//     N bytes   name: one path component, 8-bit text in the ANSI code page
//     39 bytes  record:
//                 0   1  kind: 0 file, 1 enter folder, 2 leave folder, other: none
//                 1   6  unused (zeros)
//                 7   8  kind 0: the file's size after inflating, signed 64-bit;
//                        the member must inflate to exactly this size
//                15  24  unused (zeros)
//     kind 0 only: the file's contents as one complete zlib stream (2-byte header,
//     deflate data, Adler-32 trailer; no preset dictionary, window up to 32 KB).
//     The next entry starts on the byte after the trailer.
//
// A file entry is written into the current extraction folder. Enter-folder
// entries move into a subfolder (creating it), leave-folder entries move back;
// writers keep them balanced, files of a folder first, then its subfolders.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tolvar {

inline constexpr std::string_view kArchiveSignature = "ZLib32_DMR";
inline constexpr std::size_t kArchiveHeaderSize = 38;
inline constexpr std::size_t kProgressTotalOffset = 14;
inline constexpr std::size_t kEntryRecordSize = 39;
inline constexpr std::size_t kEntrySizeOffset = 7;

enum EntryKind : std::uint8_t {
  kEntryFile = 0,
  kEntryEnterFolder = 1,
  kEntryLeaveFolder = 2,
};

// The number of 32 KB chunks in which a file of `size` bytes is inflated.
inline std::int64_t ChunkCount(std::int64_t size) { return size > 0 ? (size - 1) / 32768 + 1 : 0; }

inline std::int32_t ReadInt32Le(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                   static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int64_t ReadInt64Le(const std::uint8_t* p) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | p[i];
  return static_cast<std::int64_t>(value);
}

inline void WriteInt64Le(std::uint8_t* p, std::int64_t value) {
  auto bits = static_cast<std::uint64_t>(value);
  for (int i = 0; i < 8; ++i, bits >>= 8) p[i] = static_cast<std::uint8_t>(bits & 0xFF);
}

inline void WriteInt32Le(std::uint8_t* p, std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i, bits >>= 8) p[i] = static_cast<std::uint8_t>(bits & 0xFF);
}

}  // namespace tolvar
