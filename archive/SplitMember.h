// One zlib stream made of pieces compressed apart, for files too large to hold
// whole: each piece is compressed on its own (on any thread) and the pieces are
// joined in order, as one stream that any inflater reads from end to end:
//
//   the stream header (2 bytes)
//   piece 1, piece 2, ...   raw deflate blocks; each piece starts from the 32 KB
//                           before it as its dictionary, so matches reach back
//                           across the cut as in one run, and ends on a byte
//                           boundary with an empty stored block (zlib's sync flush)
//   the end                 an empty final block, then the Adler-32 of all the data
//
// The bytes depend on the data, the level and where it is cut, nothing else.
// zlib compresses the pieces: libdeflate cannot leave a piece's last block open.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tolvar {

// How much of the data before a piece it may refer to: deflate's whole window.
inline constexpr std::size_t kPieceDictionarySize = 32768;

// The zlib stream header for zlib's `level` (0 to 9).
std::vector<std::uint8_t> SplitMemberHeader(int level);

// One piece's deflate blocks. `dictionary` is the data right before the piece
// (at most kPieceDictionarySize bytes; empty for the first).
std::vector<std::uint8_t> DeflatePiece(std::span<const std::uint8_t> dictionary,
                                       std::span<const std::uint8_t> piece, int level);

// What follows the last piece, given the Adler-32 of all the data (zlib's adler32).
std::vector<std::uint8_t> SplitMemberEnd(std::uint32_t adler);

}  // namespace tolvar
